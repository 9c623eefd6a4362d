#pragma once
// One picture the screenshot tool renders: its file name (without .png) and how to draw it.
#include <QImage>
#include <QString>
#include <functional>
#include <vector>

struct Screenshot {
    QString name;
    std::function<QImage()> render;
};
using ScreenshotList = std::vector<Screenshot>;
