#include "tools/screenshots/DisplayScreenshots.h"

#include "acquisition/FileSignal.h"
#include "analysis/BeatAnalysisPath.h"
#include "analysis/MonitorFeeds.h"
#include "analysis/RestingMeasurement.h"
#include "analysis/ReviewFilterChain.h"
#include "tools/screenshots/DemoSession.h"
#include "ui/QBeatDisplay.h"
#include "ui/QSignalBrowseDisplay.h"
#include "ui/QSignalMonitorDisplay.h"
#include "ui/RecordAverageBeats.h"

#include <QPainter>
#include <memory>

namespace {

// A 96 dpi screen, so the pictures do not depend on the machine making them.
constexpr double kPixelsPerMm = 96.0 / 25.4;
// The monitor window's ECG area on a 1920 x 1080 screen: the left panel and
// the right column of at most 350 pixels.
constexpr int kLeftWidth = 1560;
constexpr int kRightWidth = 350;
constexpr int kPanelHeight = 940;

// The session and the monitor's two panels, run once for every picture.
struct MonitorScene {
    explicit MonitorScene(const QString &recording) : session(recording) {
        for (QSignalMonitorDisplay *d : {&left, &right}) {
            d->setPixelsPerMm(kPixelsPerMm);
            d->setSource(&session.engine().feeds().liveOutput());
            d->setAmplitudeCalibration(EcgDisplayBase::fullScaleForBits(16));
        }
        left.resize(kLeftWidth, kPanelHeight);
        right.resize(kRightWidth, kPanelHeight);
        // The window's layout: limb leads left (hexaxial), chest leads right.
        for (int c = 0; c < DemoSession::kChannels; ++c) {
            left.setLeadShown(c, c < 6);
            right.setLeadShown(c, c >= 6 && c < 12);
        }
        left.setHexaxialOrder(true);
        right.setHexaxialOrder(true);
        auto refresh = [this] {
            left.refresh();
            right.refresh();
        };
        session.feed(4.0, refresh);
        session.start();
        left.attachAverageBeats(&session.engine());
        right.attachAverageBeats(&session.engine());
        session.feed(60.0, refresh);
        session.nextStage();  // the reference averages are taken here
        session.feed(75.0, refresh);
    }
    QImage picture(const QString &scheme) {
        left.setColorScheme(scheme);
        right.setColorScheme(scheme);
        QImage image(kLeftWidth + kRightWidth, kPanelHeight, QImage::Format_RGB32);
        QPainter painter(&image);
        painter.drawImage(0, 0, left.grab().toImage());
        painter.drawImage(kLeftWidth, 0, right.grab().toImage());
        return image;
    }

    DemoSession session;
    QSignalMonitorDisplay left;
    QSignalMonitorDisplay right;
};

// Built on first use and shared by the pictures that hold it; the list of
// pictures owns it, so it goes before the application does.
class LazyScene {
public:
    MonitorScene &get() {
        if (!scene_) scene_ = std::make_unique<MonitorScene>(QStringLiteral(TARVELIN_DEMO_RECORDING));
        return *scene_;
    }

private:
    std::unique_ptr<MonitorScene> scene_;
};

QImage browsePicture(MonitorScene &scene) {
    DemoSession &session = scene.session;
    ReviewFilterChain chain(*session.study().recording());
    chain.configure(true, true, true);
    QSignalBrowseDisplay display;
    display.setPixelsPerMm(kPixelsPerMm);
    display.resize(1600, 900);
    display.setSource(&chain.output());
    display.setAmplitudeCalibration(EcgDisplayBase::fullScaleForBits(16));
    for (int c = 12; c < DemoSession::kChannels; ++c) display.setLeadShown(c, false);
    std::vector<QSignalBrowseDisplay::Beat> marks;
    for (const BeatRecord &beat : session.recordedBeats()) marks.push_back({beat.fiducialTime(), beat.normal});
    display.setBeats(marks);
    display.setAverageBeatProvider(std::make_unique<RecordAverageBeats>(
        chain.output(), session.recordedBeats(), display.millivoltsPerUnit(), RecordAverageBeats::Leads::OnDemand));
    display.setStartTime(60.0);
    for (int i = 0; i < static_cast<int>(marks.size()); ++i)
        if (marks[static_cast<std::size_t>(i)].time > 63.0) {
            display.setSelectedBeat(i);
            break;
        }
    display.setHighlight(66.0, 7.0);
    display.setCursor(64.2, 1);
    return display.grab().toImage();
}

QImage beatPicture(MonitorScene &scene) {
    MonitorEngine &engine = scene.session.engine();
    AverageBeatBuilder &averages = engine.beatAnalysis().averages();
    const double unit = engine.raw().unitValue();
    const int rate = averages.source()->samplingRate();
    std::vector<std::vector<double>> beats;
    QStringList names;
    for (int c = 0; c < 12; ++c) {
        std::vector<double> mv;
        for (double v : averages.average(c)) mv.push_back(v * unit);
        beats.push_back(mv);
        names << engine.raw().channelName(c);
    }
    QBeatDisplay display;
    display.setPixelsPerMm(kPixelsPerMm);
    display.resize(1000, 720);
    display.setAverages(beats, names, rate);
    // Measured on lead II, as a resting ECG measures its measurement lead.
    display.setMarkers(measureRest(averages.average(1), rate, averages.rPosition(), averages.meanRr() * rate));
    return display.grab().toImage();
}

}  // namespace

void addDisplayScreenshots(ScreenshotList &list) {
    auto scene = std::make_shared<LazyScene>();
    for (const char *scheme : {"Light", "Blue", "Black"}) {
        const QString name = QString::fromLatin1(scheme);
        list.push_back({QStringLiteral("monitor-display-") + name.toLower(),
                        [scene, name] { return scene->get().picture(name); }});
    }
    list.push_back({QStringLiteral("browse-display"), [scene] { return browsePicture(scene->get()); }});
    list.push_back({QStringLiteral("beat-display"), [scene] { return beatPicture(scene->get()); }});
}
