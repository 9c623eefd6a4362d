#include "ui/DisplayColorScheme.h"

#include <QCoreApplication>

namespace {

const char *const kContext = "DisplayColorScheme";

std::vector<DisplayColorScheme> makeSchemes() {
    // The names are marked here for the translation catalogues and
    // translated where they are shown.
    static const char *const kNames[] = {QT_TRANSLATE_NOOP("DisplayColorScheme", "Light"),
                                         QT_TRANSLATE_NOOP("DisplayColorScheme", "Blue"),
                                         QT_TRANSLATE_NOOP("DisplayColorScheme", "Black")};
    std::vector<DisplayColorScheme> schemes(3);
    DisplayColorScheme &light = schemes[0];
    light.name = QString::fromLatin1(kNames[0]);
    light.paper = QColor(255, 255, 255);
    light.minorGrid = QColor(247, 196, 196);
    light.majorGrid = QColor(222, 95, 95);
    light.trace = QColor(0, 0, 0);
    light.reference = QColor(40, 110, 220);
    light.label = QColor(20, 20, 90);
    light.marker = QColor(0, 140, 60);
    light.premature = QColor(210, 0, 0);
    light.highlight = QColor(255, 210, 0);
    light.cursor = QColor(0, 90, 200);

    DisplayColorScheme &blue = schemes[1];
    blue.name = QString::fromLatin1(kNames[1]);
    blue.paper = QColor(8, 24, 58);
    blue.minorGrid = QColor(22, 46, 92);
    blue.majorGrid = QColor(44, 80, 140);
    blue.trace = QColor(120, 255, 140);
    blue.reference = QColor(255, 190, 60);
    blue.label = QColor(220, 230, 255);
    blue.marker = QColor(255, 120, 255);
    blue.premature = QColor(255, 90, 90);
    blue.highlight = QColor(255, 230, 80);
    blue.cursor = QColor(255, 255, 255);

    DisplayColorScheme &black = schemes[2];
    black.name = QString::fromLatin1(kNames[2]);
    black.paper = QColor(0, 0, 0);
    black.minorGrid = QColor(28, 38, 28);
    black.majorGrid = QColor(56, 82, 56);
    black.trace = QColor(60, 255, 60);
    black.reference = QColor(255, 200, 40);
    black.label = QColor(230, 230, 230);
    black.marker = QColor(80, 200, 255);
    black.premature = QColor(255, 70, 70);
    black.highlight = QColor(255, 255, 120);
    black.cursor = QColor(255, 255, 255);
    return schemes;
}

}  // namespace

const std::vector<DisplayColorScheme> &DisplayColorScheme::all() {
    static const std::vector<DisplayColorScheme> schemes = makeSchemes();
    return schemes;
}

QStringList DisplayColorScheme::names() {
    QStringList names;
    for (const DisplayColorScheme &s : all()) names << s.name;
    return names;
}

const DisplayColorScheme &DisplayColorScheme::byName(const QString &name) {
    for (const DisplayColorScheme &s : all())
        if (s.name == name) return s;
    return all().front();
}

bool DisplayColorScheme::exists(const QString &name) { return names().contains(name); }

QString DisplayColorScheme::translatedName(const QString &name) {
    return QCoreApplication::translate(kContext, name.toLatin1().constData());
}
