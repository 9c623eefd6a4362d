// The Spanish catalogues as shipped: every text translated and whole (its
// placeholders, HTML and line breaks kept), the built .qm files saying what
// the .ts sources say, every word of the report templates covered, and the
// texts the program builds in code reaching the technician in Spanish.
#include "app/Startup.h"
#include "reports/ReportTemplate.h"
#include "reports/ReportTemplateWords.h"
#include "stress/ExerciseScores.h"
#include "stress/RestingEcgMeasurements.h"
#include "stress/StressMonitorTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTranslator>
#include <QXmlStreamReader>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

struct Message {
    QString context, source, translation;
    bool unfinished = false;
};

std::vector<Message> readCatalogue(const QString &name) {
    QFile file(QDir(QStringLiteral(TARVELIN_TS_DIR)).filePath(name + QStringLiteral(".ts")));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
    std::vector<Message> messages;
    QString context;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            Message message{context, {}, {}, false};
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("source")) {
                    message.source = xml.readElementText();
                } else if (xml.name() == QLatin1String("translation")) {
                    message.unfinished = xml.attributes().value(QStringLiteral("type")) == QLatin1String("unfinished");
                    message.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                } else {
                    xml.skipCurrentElement();
                }
            }
            messages.push_back(message);
        }
    }
    EXPECT_FALSE(xml.hasError()) << qPrintable(name) << ": " << qPrintable(xml.errorString());
    return messages;
}

QStringList placeholders(const QString &text) {
    static const QRegularExpression marker(QStringLiteral("%(\\d+)"));
    QStringList found;
    for (auto it = marker.globalMatch(text); it.hasNext();) found << it.next().captured(0);
    found.sort();
    return found;
}

QString described(const Message &m) { return m.context + QStringLiteral(": \"") + m.source + QLatin1Char('"'); }

const char *const kCatalogues[] = {"TarvelinStressECG_es", "report_es"};

TEST(SpanishCatalogues, EveryTextIsTranslatedAndKeepsItsPlaceholdersMarkupAndLines) {
    for (const char *catalogue : kCatalogues) {
        const std::vector<Message> messages = readCatalogue(QString::fromLatin1(catalogue));
        EXPECT_GT(messages.size(), 10u) << catalogue;
        for (const Message &m : messages) {
            SCOPED_TRACE(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(catalogue), described(m))));
            EXPECT_FALSE(m.unfinished);
            EXPECT_FALSE(m.translation.isEmpty());
            EXPECT_EQ(placeholders(m.translation).join(' ').toStdString(),
                      placeholders(m.source).join(' ').toStdString());
            EXPECT_EQ(m.translation.count(QLatin1Char('\n')), m.source.count(QLatin1Char('\n')));
            EXPECT_EQ(m.translation.startsWith(QLatin1String("<html>")), m.source.startsWith(QLatin1String("<html>")));
            // A report field name is the report's, never translated.
            if (QLatin1String(catalogue) != QLatin1String("report_es")) continue;
            static const QRegularExpression field(QStringLiteral("\\[[A-Za-z/]+\\]"));
            QStringList sourceFields, translatedFields;
            for (auto it = field.globalMatch(m.source); it.hasNext();) sourceFields << it.next().captured(0);
            for (auto it = field.globalMatch(m.translation); it.hasNext();) translatedFields << it.next().captured(0);
            sourceFields.sort();
            translatedFields.sort();
            EXPECT_EQ(translatedFields.join(' ').toStdString(), sourceFields.join(' ').toStdString());
        }
    }
}

TEST(SpanishCatalogues, BuiltFilesSayWhatTheSourcesSay) {
    for (const char *catalogue : kCatalogues) {
        QTranslator translator;
        ASSERT_TRUE(translator.load(QString::fromLatin1(catalogue), QStringLiteral(TARVELIN_QM_DIR))) << catalogue;
        for (const Message &m : readCatalogue(QString::fromLatin1(catalogue))) {
            EXPECT_EQ(translator.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData()),
                      m.translation)
                << catalogue << " " << qPrintable(described(m));
        }
    }
}

TEST(SpanishCatalogues, EveryWordOfTheReportTemplatesIsInTheReportCatalogue) {
    QTranslator translator;
    ASSERT_TRUE(translator.load(QStringLiteral("report_es"), QStringLiteral(TARVELIN_QM_DIR)));
    const QDir folder(QStringLiteral(TARVELIN_TEMPLATE_DIR));
    const QStringList templates = folder.entryList({QStringLiteral("*.xml")}, QDir::Files);
    ASSERT_GE(templates.size(), 7);
    for (const QString &name : templates) {
        for (const QString &word : ReportTemplateWords::collect(ReportTemplate::load(folder.filePath(name)).root()))
            EXPECT_FALSE(translator.translate("ReportTemplate", word.toUtf8().constData()).isEmpty())
                << qPrintable(name) << ": \"" << qPrintable(word) << '"';
    }
}

// The texts made in code go through the same contexts the catalogues file
// them under; a context spelt differently would leave them in English.
TEST(SpanishCatalogues, KeyTextsReachTheWindowsAndReportsInSpanish) {
    const auto translators = Startup::installTranslations(QStringLiteral(TARVELIN_QM_DIR));
    ASSERT_EQ(translators.size(), 2u) << "TarvelinStressECG_es and report_es (qt_es is not in the build tree)";
    struct Case {
        const char *label;
        std::function<QString()> text;
        const char *spanish;
    };
    const auto tr = [](const char *context, const char *text) {
        return [context, text] { return QCoreApplication::translate(context, text); };
    };
    const Case cases[] = {
        {"launcher", tr("MainWindow", "New Stress Test"), "Nueva prueba de esfuerzo"},
        {"phase", tr("StressEvents", "Recovery"), "Recuperación"},
        {"study dialog", tr("StudyDialog", "Last name(s)"), "Apellidos"},
        {"lead", tr("ReviewTrendPlots", "HR"), "FC"},
        {"report word", tr("ReportTemplate", "Heart rate"), "Frecuencia cardiaca"},
        {"report conclusion", tr("ReportTemplate", "Conclusion"), "Conclusión"},
        {"protocol type", tr("StressReportData", "Ergometer"), "Cicloergómetro"},
        {"score not measured", [] { return ExerciseScoreTexts::notAvailable(); }, "no disponible"},
        {"resting measurements", [] { return RestingEcgMeasurements::tableHeaders().first(); }, "FC (lpm)"},
        {"heart-rate targets", [] { return StressMonitorTexts::heartRateInfoText(150, 170, 145); },
         "88% máx. 170<br/>103% submáx. 145"},
    };
    for (const Case &c : cases) EXPECT_EQ(c.text(), QString::fromUtf8(c.spanish)) << c.label;
}

}  // namespace
