#include "app/GuardedApplication.h"
#include "app/SingleInstanceGuard.h"
#include "app/Startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QException>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <gtest/gtest.h>
#include <functional>
#include <stdexcept>

namespace {

struct ShownBox {
    QString kind;
    QString title;
    QString text;
};

// Start-up services that record the boxes instead of showing them.
struct RecordingServices {
    std::vector<ShownBox> boxes;
    int launchersCreated = 0;
    std::function<std::unique_ptr<QWidget>()> launcher = [] { return std::make_unique<QWidget>(); };

    Startup::Services services() {
        Startup::Services s;
        s.information = [this](const QString &t, const QString &x) { boxes.push_back({"information", t, x}); };
        s.critical = [this](const QString &t, const QString &x) { boxes.push_back({"critical", t, x}); };
        s.createLauncher = [this] {
            ++launchersCreated;
            return launcher();
        };
        return s;
    }
};

GuardedApplication &app() { return *static_cast<GuardedApplication *>(QCoreApplication::instance()); }

QString freshKey() {
    static int n = 0;
    return QStringLiteral("TarvelinTest startup %1 %2").arg(QCoreApplication::applicationPid()).arg(++n);
}

class StudyDatabaseError : public QException {
public:
    const char *what() const noexcept override { return "Cannot open study database"; }
    void raise() const override { throw *this; }
    StudyDatabaseError *clone() const override { return new StudyDatabaseError(*this); }
};

}  // namespace

TEST(Startup, SecondInstanceIsRefusedWithTheInformationBox) {
    const QString key = freshKey();
    SingleInstanceGuard running(key);
    ASSERT_TRUE(running.tryAcquire());

    RecordingServices recorder;
    EXPECT_EQ(Startup::run(app(), key, recorder.services()), 0);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].kind, "information");
    EXPECT_EQ(recorder.boxes[0].title, "Information");
    EXPECT_EQ(recorder.boxes[0].text, key + " is already running");
    EXPECT_EQ(recorder.launchersCreated, 0);
    EXPECT_TRUE(running.held()) << "the running instance is unaffected";
}

TEST(Startup, InstanceKeyIsOrganisationBlankApplication) {
    const QString org = QCoreApplication::organizationName();
    const QString name = QCoreApplication::applicationName();
    Startup::setIdentity();
    EXPECT_EQ(Startup::instanceKey(), "Tarvelin Dodare RUD");
    EXPECT_EQ(QCoreApplication::applicationVersion(), "1.27");
    QCoreApplication::setOrganizationName(org);
    QCoreApplication::setApplicationName(name);
}

// Errors while the launcher is created, and errors thrown from a handler
// inside the event loop, all end in one "Error" box and exit code 0.
TEST(Startup, ErrorsAreShownInTheErrorBoxAndEndTheProgramCleanly) {
    struct Case {
        const char *name;
        std::function<void()> thrower;
        bool duringEventLoop;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"std exception building the launcher", [] { throw std::runtime_error("Cannot open file"); }, false,
         "Cannot open file"},
        {"toolkit exception building the launcher", [] { throw StudyDatabaseError(); }, false,
         "Cannot open study database"},
        {"anything else building the launcher", [] { throw 42; }, false, "Unspecified application error"},
        {"std exception from a slot", [] { throw std::runtime_error("Device not found"); }, true, "Device not found"},
        {"anything else from a slot", [] { throw 3.5; }, true, "Unspecified application error"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RecordingServices recorder;
        QPointer<QWidget> created;
        bool launcherAliveAtBox = false;
        recorder.launcher = [&]() -> std::unique_ptr<QWidget> {
            if (!c.duringEventLoop) c.thrower();
            auto w = std::make_unique<QWidget>();
            created = w.get();
            QTimer::singleShot(0, w.get(), c.thrower);
            return w;
        };
        Startup::Services services = recorder.services();
        auto critical = services.critical;
        services.critical = [&](const QString &t, const QString &x) {
            launcherAliveAtBox = !created.isNull();
            critical(t, x);
        };
        EXPECT_EQ(Startup::run(app(), freshKey(), services), 0);
        ASSERT_EQ(recorder.boxes.size(), 1u);
        EXPECT_EQ(recorder.boxes[0].kind, "critical");
        EXPECT_EQ(recorder.boxes[0].title, "Error");
        EXPECT_EQ(recorder.boxes[0].text, c.expected);
        if (c.duringEventLoop) {
            EXPECT_TRUE(launcherAliveAtBox) << "the launcher is destroyed after the box is closed";
            EXPECT_TRUE(created.isNull()) << "the launcher is destroyed before start-up returns";
        }
    }
}

TEST(Startup, NormalEndReturnsTheEventLoopCode) {
    RecordingServices recorder;
    recorder.launcher = [] {
        auto w = std::make_unique<QWidget>();
        QTimer::singleShot(0, [] { QCoreApplication::exit(3); });
        return w;
    };
    EXPECT_EQ(Startup::run(app(), freshKey(), recorder.services()), 3);
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_EQ(recorder.launchersCreated, 1);
}

TEST(Startup, TranslationsAreLoadedOnlyWhenPresent) {
    QTemporaryDir empty;
    EXPECT_TRUE(Startup::installTranslations(empty.path()).empty());
    EXPECT_EQ(QCoreApplication::translate("Startup", "Information"), "Information");

    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(TARVELIN_QM_DIR "/TarvelinStressECG_es.qm"),
                            QDir(folder.path()).filePath("TarvelinStressECG_es.qm")));
    auto installed = Startup::installTranslations(folder.path());
    EXPECT_EQ(installed.size(), 1u);
    EXPECT_EQ(QCoreApplication::translate("Startup", "Information"), QString::fromUtf8("Información"));
    for (auto &t : installed) QCoreApplication::removeTranslator(t.get());
}

TEST(Startup, DarkStyleSheetIsAResource) {
    const QString css = Startup::styleSheet();
    EXPECT_TRUE(css.contains("QPushButton"));
    EXPECT_TRUE(css.contains("background-color"));
}
