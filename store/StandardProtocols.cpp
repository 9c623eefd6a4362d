#include "store/StandardProtocols.h"

#include <initializer_list>
#include <utility>

namespace {

constexpr double kRest = 300.0;

using Step = std::pair<double, double>;  // speed km/h, incline %

Protocol treadmill(const char *name, double stageSeconds, std::initializer_list<Step> steps) {
    Protocol p;
    p.name = QString::fromLatin1(name);
    p.type = ProtocolType::Treadmill;
    p.appendTreadmillStage(StagePhase::Rest, kRest, 0.0, 0.0);
    for (const Step &s : steps) p.appendTreadmillStage(StagePhase::Exercise, stageSeconds, s.first, s.second);
    return p;
}

void treadmillRecovery(Protocol &p) {
    for (double seconds : {60.0, 180.0, 300.0}) p.appendTreadmillStage(StagePhase::Recovery, seconds, 0.0, 0.0);
}

Protocol ergometer(const char *name, double stageSeconds, std::initializer_list<double> watts,
                   std::initializer_list<double> recovery) {
    Protocol p;
    p.name = QString::fromLatin1(name);
    p.type = ProtocolType::Ergometer;
    p.appendErgometerStage(StagePhase::Rest, kRest, 0.0);
    for (double w : watts) p.appendErgometerStage(StagePhase::Exercise, stageSeconds, w);
    for (double seconds : recovery) p.appendErgometerStage(StagePhase::Recovery, seconds, 0.0);
    return p;
}

Protocol balkeWare() {
    Protocol p = treadmill("Balke-Ware", 120.0, {{5.4, 0.0}});
    for (int incline = 2; incline <= 25; ++incline) p.appendTreadmillStage(StagePhase::Exercise, 60.0, 5.4, incline);
    treadmillRecovery(p);
    return p;
}

}  // namespace

namespace StandardProtocols {

std::vector<Protocol> all() {
    std::vector<Protocol> protocols;

    protocols.push_back(
        treadmill("Bruce", 180.0, {{2.7, 10}, {4.0, 12}, {5.4, 14}, {6.7, 16}, {8.0, 18}, {8.8, 20}, {9.6, 22}}));
    treadmillRecovery(protocols.back());

    protocols.push_back(
        treadmill("Bruce (modif.)", 180.0,
                  {{2.7, 0}, {2.7, 5}, {2.7, 10}, {4.0, 12}, {5.4, 14}, {6.7, 16}, {8.0, 18}, {8.8, 20}}));
    treadmillRecovery(protocols.back());

    protocols.push_back(balkeWare());

    protocols.push_back(
        treadmill("Naughton", 120.0, {{3.2, 0}, {3.2, 3.5}, {3.2, 7}, {3.2, 10.5}, {3.2, 14}, {3.2, 17.5}, {3.2, 21}}));
    treadmillRecovery(protocols.back());

    protocols.push_back(ergometer("Who", 180.0, {25, 50, 75, 100, 125, 150, 175, 200}, {60, 180, 300}));
    protocols.push_back(ergometer("Astrand (m.)", 120.0, {100, 150, 200, 250, 300}, {60, 120, 300}));
    protocols.push_back(ergometer("Astrand (f.)", 120.0, {50, 75, 100, 125, 150}, {60, 120, 300}));
    return protocols;
}

}  // namespace StandardProtocols
