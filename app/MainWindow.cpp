#include "app/MainWindow.h"

#include "ui_MainWindow.h"

#include <QCoreApplication>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui_(std::make_unique<Ui::MainWindow>()) {
    ui_->setupUi(this);
    ui_->lblVersion->setText(QStringLiteral("v %1").arg(QCoreApplication::applicationVersion()));
}

MainWindow::~MainWindow() = default;
