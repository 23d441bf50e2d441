#include "iconwindow.h"

#include "app/common.h"
#include "app/logger.h"
#include "notificationdialog.h"
#include "notificationpopup.h"
#include "update/quorixupdate.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
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
        Logger::instance()->log(LogLevel::Fatal,
                                QStringLiteral("No system tray available.  Exiting."));
        QCoreApplication::exit(1);
        return;
    }
    createMenu();

    trayIcon = new QSystemTrayIcon;
    trayIcon->setIcon(QIcon(QStringLiteral(":res/images/Quorix_Server_Patch_256.png")));
    trayIcon->setVisible(true);
    trayIcon->setToolTip(Common::instance()->title());
    trayIcon->setContextMenu(trayMenu);
    connect(trayIcon, &QSystemTrayIcon::activated, this, &IconWindow::iconActivated);

    initialCheck();
}

IconWindow::~IconWindow()
{
    delete trayIcon;
    delete trayMenu;
    delete checkAction;
    delete exitAction;
}

void IconWindow::createMenu()
{
    checkAction = new QAction(tr("Check For Updates"), this);
    connect(checkAction, &QAction::triggered, this, &IconWindow::showNotificationDialog);
    exitAction = new QAction(tr("Exit"), this);
    connect(exitAction, &QAction::triggered, this, &IconWindow::exit);
    trayMenu = new QMenu(QStringLiteral("Popup"));
    trayMenu->addAction(checkAction);
    trayMenu->addSeparator();
    trayMenu->addAction(exitAction);
}

void IconWindow::initialCheck()
{
    {
        QuorixUpdate update(Common::instance()->patchListUrl(), nullptr);
        if (!update.availablePatches().isEmpty())
            showNotificationPopup();
    }
    close();
}

void IconWindow::showNotificationPopup()
{
    QuorixUpdate update(Common::instance()->patchListUrl(), nullptr);
    const int available = int(update.availablePatches().size());
    auto* popup = new NotificationPopup(popupMessage(available), popupTimeoutSeconds, this);
    popup->exec();
    delete popup;
}

void IconWindow::showNotificationDialog()
{
    auto* dialog = new NotificationDialog(this);
    dialog->exec();
    delete dialog;
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
    event->accept();
}
