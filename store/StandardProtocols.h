#pragma once
// The protocols a new protocol table starts with.

#include "store/Protocol.h"

#include <vector>

namespace StandardProtocols {

// Bruce, modified Bruce, Balke-Ware, Naughton (treadmill); WHO and the two
// Astrand protocols (ergometer).
std::vector<Protocol> all();

}  // namespace StandardProtocols
