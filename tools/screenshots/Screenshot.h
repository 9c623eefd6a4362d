#pragma once
// One picture the screenshot tool renders: its file name (without .png) and how to draw it.
#include <QImage>
#include <QLocale>
#include <QString>
#include <functional>
#include <vector>

struct Screenshot {
    QString name;
    std::function<QImage()> render;
};
using ScreenshotList = std::vector<Screenshot>;

// The made-up patients and notes of the pictures speak the language the
// windows are shown in, so a Spanish picture has no English in it.
inline const char *sample(const char *english, const char *spanish) {
    return QLocale().language() == QLocale::Spanish ? spanish : english;
}
