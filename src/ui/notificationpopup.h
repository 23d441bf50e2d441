#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>

#include <memory>

namespace Ui {
class NotificationPopup;
}

// Where the popup rests and how it travels: 20 pixels inside the right and
// lower edges of the work area (measured from the origin), growing in from and
// leaving through the bottom edge of the screen.
struct PopupPlacement
{
    QRect resting;
    QRect slideInStart;
    QRect slideOutEnd;
};
PopupPlacement popupPlacement(const QRect& availableGeometry, const QRect& screenGeometry,
                              const QSize& size);

// The borderless notice in the corner of the screen that leads to the report.
class NotificationPopup : public QDialog
{
    Q_OBJECT

public:
    // timeoutSeconds -1: no time-out.
    NotificationPopup(const QString& message, int timeoutSeconds, QWidget* parent = nullptr);
    ~NotificationPopup() override;

    // Tests shorten the display time and the animations; 0 restores the defaults.
    static void setTimingForTesting(int millisecondsPerSecond, int animationMilliseconds);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private slots:
    void on_closeButton_clicked();
    void showNotificationDialog();
    void timerDone();
    void onTitlePressed(QPoint p);
    void onTitleMoved(QPoint p);

private:
    PopupPlacement placement() const;
    void slideIn();
    void slideOut();

    std::unique_ptr<Ui::NotificationPopup> ui;
    QString message;
    QPoint dragOrigin;
};
