#pragma once
// The colour schemes of the ECG displays and pages: "Light" (printed ECG
// paper), "Blue" and "Black" (dark monitor styles). One table, looked up by
// the untranslated name that settings store.

#include <QColor>
#include <QString>
#include <QStringList>
#include <vector>

struct DisplayColorScheme {
    QString name;  // untranslated, as stored in settings
    QColor paper;
    QColor minorGrid;  // 1 mm lines
    QColor majorGrid;  // 5 mm lines
    QColor trace;
    QColor reference;  // the reference average behind the current one
    QColor label;      // lead names, calibration pulse, scale text
    QColor marker;     // isoelectric, J and ST points, wave markers
    QColor premature;  // marks of premature beats
    QColor highlight;  // an event's time range (drawn translucent)
    QColor cursor;

    static const std::vector<DisplayColorScheme> &all();
    static QStringList names();
    // The scheme of that name; "Light" for an empty or unknown name.
    static const DisplayColorScheme &byName(const QString &name);
    static bool exists(const QString &name);
    // The name in the user's language.
    static QString translatedName(const QString &name);
};
