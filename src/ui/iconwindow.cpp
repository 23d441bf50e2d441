#include "iconwindow.h"

#include "core/common.h"
#include "core/logger.h"
#include "notificationdialog.h"
#include "notificationpopup.h"
#include "app/check.h"
#include "core/clock.h"
#include "desktopretrieval.h"
#include "update/updaterequest.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>

namespace {
constexpr int popupTimeoutSeconds = 15;
}

QString popupMessage(int availableCount)
{
    if (availableCount >= 1)
        return QString::number(availableCount) + QLatin1Char(' ') +
               IconWindow::tr("update(s) are available.  Click here to review these updates.");
    return IconWindow::tr("No updates available.");
}

IconWindow::IconWindow(QWidget* parent) : QDialog(parent)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        qCCritical(lcFatal).noquote() << QStringLiteral("No system tray available.  Exiting.");
        return;
    }
    createMenu();

    trayIcon = std::make_unique<QSystemTrayIcon>();
    trayIcon->setIcon(QIcon(QStringLiteral(":res/images/Quorix_Server_Patch_256.png")));
    trayIcon->setVisible(true);
    trayIcon->setToolTip(Common::instance()->title);
    trayIcon->setContextMenu(trayMenu.get());
    connect(trayIcon.get(), &QSystemTrayIcon::activated, this, &IconWindow::iconActivated);

    initialCheck();
}

IconWindow::~IconWindow() = default;

void IconWindow::createMenu()
{
    checkAction = new QAction(tr("Check For Updates"), this);
    connect(checkAction, &QAction::triggered, this, &IconWindow::showNotificationDialog);
    exitAction = new QAction(tr("Exit"), this);
    exitAction->setObjectName(QStringLiteral("exitAction"));
    connect(exitAction, &QAction::triggered, this, &IconWindow::exit);
    trayMenu = std::make_unique<QMenu>(QStringLiteral("Popup"));
    trayMenu->addAction(checkAction);
    trayMenu->addSeparator();
    trayMenu->addAction(exitAction);
}

void IconWindow::initialCheck()
{
    DesktopRetrievalHost host;
    const CheckResult result = runCheck(checkRequestOfRun(0), host, checkTime());
    if (!UpdateRequest::runAborted() && !result.missing.isEmpty())
        showNotificationPopup(result);
    close();
}

void IconWindow::showNotificationPopup(const CheckResult& result)
{
    NotificationPopup popup(popupMessage(int(result.missing.size())), popupTimeoutSeconds, this);
    popup.setCheckResult(result);
    const QRect icon = trayIcon ? trayIcon->geometry() : QRect();
    if (!icon.isEmpty())
        popup.setScreenForPlacement(QGuiApplication::screenAt(icon.center()));
    popup.exec();
}

void IconWindow::showNotificationDialog()
{
    NotificationDialog dialog(std::nullopt, this);
    dialog.exec();
}

void IconWindow::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick)
        showNotificationDialog();
}

void IconWindow::exit()
{
    close();
}

void IconWindow::closeEvent(QCloseEvent* event)
{
    if (trayIcon)
        trayIcon->setVisible(false);
    // "Exit" during a check ends the check and the run: no popup follows.
    UpdateRequest::abortRun();
    event->accept();
}
