#pragma once

#include <QDialog>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QStringList>

#include <memory>

class Common;
class QScreen;

namespace Ui {
class NotificationPopup;
}

// Where the popup rests and how it travels: 20 pixels inside the right and
// lower edges of the work area (wherever the work area lies, on whichever
// screen), growing in from the bottom edge of the screen, and leaving through
// it from wherever it was dragged to, at its own size.
struct PopupPlacement
{
    QRect resting;
    QRect slideInStart;
};
PopupPlacement popupPlacement(const QRect& availableGeometry, const QRect& screenGeometry,
                              const QSize& size);
QRect popupSlideOutEnd(const QRect& from, const QRect& screenGeometry);
// Where a window opened from the popup goes so that the popup, which stays on
// top, does not cover it: left of the popup, else above it, else where it is.
QPoint reportPosition(const QRect& report, const QRect& popup, const QRect& availableGeometry);

// How long the popup's "seconds" and its slides last; tests shorten them.
struct PopupTiming
{
    int millisecondsPerSecond = 1000;
    int animationMilliseconds = 300;
};

// The borderless notice in the corner of the screen that leads to the report.
class NotificationPopup : public QDialog
{
    Q_OBJECT

public:
    // timeoutSeconds -1: no time-out.
    NotificationPopup(Common& settings, const QString& message, int timeoutSeconds,
                      PopupTiming timing = {}, QWidget* parent = nullptr);
    ~NotificationPopup() override;

    // The screen to rest on: the one that holds the tray icon. The primary
    // screen without one.
    void setScreenForPlacement(QScreen* screen);
    // A further line under the message, before the popup is shown.
    void addLine(const QString& line);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

signals:
    // The user asks for the report: a left click on the message.
    void reportRequested();

private slots:
    void on_closeButton_clicked();
    void timerDone();
    void onTitlePressed(QPoint p);
    void onTitleMoved(QPoint p);

private:
    const QScreen* screenForPlacement() const;
    void showText();
    void slideIn();
    void slideOut();

    std::unique_ptr<Ui::NotificationPopup> ui;
    QString message;
    QStringList lines;
    QPoint dragOrigin;
    QPointer<QScreen> placementScreen;
    PopupTiming timing;
    Common& settings;
};
