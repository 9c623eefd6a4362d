// tarvelin-report-words: writes the translatable words of the report
// templates given as arguments, as a C++ source the catalogue tools scan.
// Usage: tarvelin-report-words OUTPUT TEMPLATE...

#include "reports/ReportTemplate.h"
#include "reports/ReportTemplateWords.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QStringList>
#include <cstdio>
#include <exception>

int main(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: tarvelin-report-words OUTPUT TEMPLATE...\n");
        return 2;
    }
    QStringList words;
    for (const QString &path : arguments.mid(1)) {
        try {
            for (const QString &word : ReportTemplateWords::collect(ReportTemplate::load(path).root()))
                if (!words.contains(word)) words.append(word);
        } catch (const std::exception &e) {
            std::fprintf(stderr, "tarvelin-report-words: %s: %s\n", qPrintable(path), e.what());
            return 1;
        }
    }
    QSaveFile out(arguments.first());
    if (!out.open(QIODevice::WriteOnly) || out.write(ReportTemplateWords::markedForTranslation(words)) < 0 ||
        !out.commit()) {
        std::fprintf(stderr, "tarvelin-report-words: cannot write %s\n", qPrintable(arguments.first()));
        return 1;
    }
    return 0;
}
