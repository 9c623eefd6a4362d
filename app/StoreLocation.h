#pragma once
// Where the application keeps its study store.

#include <QString>

namespace StoreLocation {

// The folder named by the environment variable TARVELIN_STORE when it is set
// (tests, a second store for training); otherwise "studies" under the
// user's data folder for this application, which on Linux is
// ~/.local/share/Tarvelin/Dodare RUD/studies (or under $XDG_DATA_HOME).
QString root();

}  // namespace StoreLocation
