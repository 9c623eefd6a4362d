#include "app/TranslationChoice.h"

#include "app/InstalledLayout.h"

#include <QDir>
#include <QFileInfo>

namespace TranslationChoice {

namespace {

const char *const kQt = "qt_es";
const char *const kApplication = "TarvelinStressECG_es";
const char *const kReport = "report_es";

bool hasCatalogue(const QString &folder, const char *name) {
    return QFileInfo(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".qm"))).isFile();
}

}  // namespace

bool isSpanish(const QString &localeName) {
    return localeName == QLatin1String("es") || localeName.startsWith(QLatin1String("es_")) ||
           localeName.startsWith(QLatin1String("es-"));
}

std::vector<Catalogue> choose(const QString &programFolder, const QString &localeName,
                              const QString &qtTranslationsFolder) {
    const bool besideProgram = hasCatalogue(programFolder, kQt) || hasCatalogue(programFolder, kApplication) ||
                               hasCatalogue(programFolder, kReport);
    if (besideProgram) {
        return {{QString::fromLatin1(kQt), programFolder},
                {QString::fromLatin1(kApplication), programFolder},
                {QString::fromLatin1(kReport), programFolder}};
    }
    const QString installed = InstalledLayout::translationsFolder(programFolder);
    if (!hasCatalogue(installed, kApplication) || !isSpanish(localeName)) return {};
    return {{QString::fromLatin1(kQt), qtTranslationsFolder},
            {QString::fromLatin1(kApplication), installed},
            {QString::fromLatin1(kReport), installed}};
}

}  // namespace TranslationChoice
