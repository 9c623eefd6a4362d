#pragma once
// Which translation catalogues start-up loads, and from where.
//
// Catalogues standing beside the program are a Spanish installation made by
// hand: all of them are loaded whatever the desktop's language. An installed
// program (catalogues under PREFIX/share/tarvelin-ecg/translations) follows
// the desktop instead: Spanish under a Spanish locale, English otherwise, so
// an English-speaking user of the package is not forced into Spanish. Qt's
// own texts then come from the system's Qt translations folder.

#include <QString>
#include <vector>

namespace TranslationChoice {

struct Catalogue {
    QString name;  // "qt_es", "TarvelinStressECG_es" or "report_es"
    QString folder;
    bool operator==(const Catalogue &other) const { return name == other.name && folder == other.folder; }
};

// The catalogues in loading order; empty means the interface stays English.
// `localeName` is the desktop's locale as QLocale names it ("es_ES", "C").
std::vector<Catalogue> choose(const QString &programFolder, const QString &localeName,
                              const QString &qtTranslationsFolder);

// True for "es" and every "es_*" locale.
bool isSpanish(const QString &localeName);

}  // namespace TranslationChoice
