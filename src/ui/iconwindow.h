#pragma once

#include <QDialog>
#include <QMenu>
#include <QSystemTrayIcon>

#include <memory>

#include "app/check.h"
#include "notificationpopup.h"

#include <QList>
#include <QPointer>

#include <optional>

class DesktopRetrievalHost;
class NotificationDialog;
class NotificationPopup;
class QAction;
class QEventLoop;

// The tray run: the icon with its menu, one check and, when updates are
// available, the popup, which leads to the report of that check. The whole run
// happens inside the constructor, until the popup and every report are closed
// or "Exit" is chosen; the window itself is never shown.
class IconWindow : public QDialog
{
    Q_OBJECT

public:
    IconWindow(Common& settings, const CheckRequest& request, PopupTiming popupTiming = {},
               QWidget* parent = nullptr);
    ~IconWindow() override;

    // The icon, shown while the run is under way (null without a tray).
    const QSystemTrayIcon* icon() const { return trayIcon.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void showNotificationDialog();
    void endRunWhenAllClosed();
    void exit();

private:
    void createMenu();
    void initialCheck();
    void showNotificationPopup(const CheckResult& result);
    void showFailure(const CheckResult& result);
    void openReport(const std::optional<CheckResult>& result);

    std::unique_ptr<QMenu> trayMenu;           // a menu has no parent window
    std::unique_ptr<QSystemTrayIcon> trayIcon; // goes before the menu it shows
    QAction* checkAction = nullptr;
    QAction* exitAction = nullptr;
    QPointer<NotificationPopup> popup;
    QList<QPointer<NotificationDialog>> reports;
    QEventLoop* runLoop = nullptr;
    DesktopRetrievalHost* checking = nullptr; // during the check
    bool failureShown = false;                // the tray's message of a failed check
    Common& settings;
    CheckRequest checkRequest;
    PopupTiming timing;
};

// Text of the popup for n available updates.
QString popupMessage(int availableCount);
// The popup's second line, when security fixes are among them.
QString popupSecurityLine(int securityCount);
// What the tray says of a check that found no usable list.
QString trayFailureText(const CheckResult& result);
