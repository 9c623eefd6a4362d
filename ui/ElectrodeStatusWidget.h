#pragma once
// Shows which of the nine monitored electrodes ("RA", "LA", "LL", "V1" to
// "V6") have lost contact: each sits where it is placed on a drawn torso,
// green when attached and red when off. Ticking "Do not show again" hides
// the widget and tells the window, which then stops showing it for the rest
// of the test.

#include <QHash>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QLabel;

class ElectrodeStatusWidget : public QWidget {
    Q_OBJECT
public:
    explicit ElectrodeStatusWidget(QWidget *parent = nullptr);

    static QStringList electrodeNames();

    // Names other than the nine electrodes are ignored.
    void setElectrodeOff(const QString &name, bool off);
    bool isElectrodeOff(const QString &name) const { return off_.value(name, false); }
    bool anyElectrodeOff() const;
    bool isDismissed() const { return dismissed_; }

    QSize sizeHint() const override { return QSize(kWidth, kHeight); }

Q_SIGNALS:
    void dismissed();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    static constexpr int kWidth = 260;
    static constexpr int kHeight = 270;
    static constexpr int kMargin = 8;
    static constexpr int kCheckBoxHeight = 24;

    QRectF torsoArea() const;
    QPointF centreOf(const QString &name) const;
    void placeLabels();
    void showState(const QString &name);

    QHash<QString, QLabel *> labels_;
    QHash<QString, bool> off_;
    QCheckBox *doNotShowAgain_ = nullptr;
    bool dismissed_ = false;
};
