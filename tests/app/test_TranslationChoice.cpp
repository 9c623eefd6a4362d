// Which catalogues start-up loads: beside the program always, from an
// installation only under a Spanish desktop, and none in a bare build tree.
#include "app/InstalledLayout.h"
#include "app/TranslationChoice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using TranslationChoice::Catalogue;

namespace {

void touch(const QString &path) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

enum class Layout { BuildTree, BesideProgram, Installed, InstalledWithoutCatalogues };

TEST(TranslationChoice, DependsOnWhereTheCataloguesAreAndOnTheDesktopLanguage) {
    struct Case {
        const char *label;
        Layout layout;
        const char *locale;
        bool spanish;
    };
    const Case cases[] = {
        {"build tree, Spanish desktop", Layout::BuildTree, "es_ES", false},
        {"beside the program, English desktop", Layout::BesideProgram, "en_GB", true},
        {"beside the program, C locale", Layout::BesideProgram, "C", true},
        {"installed, Spain", Layout::Installed, "es_ES", true},
        {"installed, Mexico", Layout::Installed, "es_MX", true},
        {"installed, bare language", Layout::Installed, "es", true},
        {"installed, English", Layout::Installed, "en_US", false},
        {"installed, Basque in Spain", Layout::Installed, "eu_ES", false},
        {"installed, C locale", Layout::Installed, "C", false},
        {"installed folder without catalogues", Layout::InstalledWithoutCatalogues, "es_ES", false},
    };
    const QString qtFolder = QStringLiteral("/usr/share/qt5/translations");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir prefix;
        const QString program = prefix.filePath(QStringLiteral("bin"));
        ASSERT_TRUE(QDir().mkpath(program));
        const QString installed = InstalledLayout::translationsFolder(program);
        switch (c.layout) {
        case Layout::BuildTree: break;
        case Layout::BesideProgram: touch(program + QStringLiteral("/report_es.qm")); break;
        case Layout::Installed: touch(installed + QStringLiteral("/TarvelinStressECG_es.qm")); break;
        case Layout::InstalledWithoutCatalogues: ASSERT_TRUE(QDir().mkpath(installed)); break;
        }
        ASSERT_EQ(installed, prefix.filePath(QStringLiteral("share/tarvelin-ecg/translations")));

        const std::vector<Catalogue> chosen =
            TranslationChoice::choose(program, QString::fromLatin1(c.locale), qtFolder);
        if (!c.spanish) {
            EXPECT_TRUE(chosen.empty());
            continue;
        }
        // Qt's own texts first, then the application's, then the reports'.
        const QString ours = c.layout == Layout::BesideProgram ? program : installed;
        const QString qt = c.layout == Layout::BesideProgram ? program : qtFolder;
        const std::vector<Catalogue> expected = {{QStringLiteral("qt_es"), qt},
                                                 {QStringLiteral("TarvelinStressECG_es"), ours},
                                                 {QStringLiteral("report_es"), ours}};
        EXPECT_EQ(chosen, expected);
    }
}

TEST(TranslationChoice, InstalledDataSitsBesideTheProgramsFolder) {
    EXPECT_EQ(InstalledLayout::dataFolder(QStringLiteral("/usr/bin")), QStringLiteral("/usr/share/tarvelin-ecg"));
    EXPECT_EQ(InstalledLayout::dataFolder(QStringLiteral("/opt/tarvelin/bin")),
              QStringLiteral("/opt/tarvelin/share/tarvelin-ecg"));
}

}  // namespace
