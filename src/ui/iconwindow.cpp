#include "iconwindow.h"

#include "app/check.h"
#include "core/common.h"
#include "core/logger.h"
#include "desktopretrieval.h"
#include "notificationdialog.h"
#include "notificationpopup.h"

#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QScreen>
#include <QTimer>

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

QString popupSecurityLine(int securityCount)
{
    return IconWindow::tr("Security fixes among them: %1.").arg(QString::number(securityCount));
}

// Said in a few words: a tray's message holds little.
QString trayFailureText(const CheckResult& result)
{
    static constexpr int longest = 200;
    QString text = IconWindow::tr("The check for updates failed: %1").arg(failureHeading(result));
    if (!result.listProblem.isEmpty())
        text += QLatin1Char(' ') + result.listProblem;
    if (text.size() > longest)
        text = text.left(longest - 1) + QChar(0x2026);
    return text;
}

IconWindow::IconWindow(Common& runSettings, const CheckRequest& request, PopupTiming popupTiming,
                       QWidget* parent)
    : QDialog(parent), settings(runSettings), checkRequest(request), timing(popupTiming)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // Start-up says so on standard error; an echoed Fatal line would say it twice.
        qCCritical(lcUi).noquote() << QStringLiteral("No system tray available.  Exiting.");
        return;
    }
    createMenu();

    trayIcon = std::make_unique<QSystemTrayIcon>();
    trayIcon->setIcon(QIcon(QStringLiteral(":res/images/Quorix_Server_Patch_256.png")));
    trayIcon->setVisible(true);
    trayIcon->setToolTip(settings.title);
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
    DesktopRetrievalHost host(settings);
    checking = &host;
    const CheckResult result = runCheck(checkRequest, host);
    checking = nullptr;
    if (host.aborted()) {
        close();
        return;
    }
    if (hasNoUsableList(result))
        showFailure(result);
    else if (!result.missing.isEmpty())
        showNotificationPopup(result);
    // The run goes on while the popup, the failure's message or a report is
    // shown; the tray icon and its menu stay usable meanwhile.
    QEventLoop loop;
    runLoop = &loop;
    if (popup || failureShown || !reports.isEmpty())
        loop.exec();
    runLoop = nullptr;
    close();
}

// A check at log-on must not stop the user with a box: the tray says that it
// failed and why, and a click on its message opens the report with the reason.
void IconWindow::showFailure(const CheckResult& result)
{
    const QString why = trayFailureText(result);
    trayIcon->setToolTip(settings.title + QLatin1Char('\n') + why);
    connect(trayIcon.get(), &QSystemTrayIcon::messageClicked, this, [this, result] {
        failureShown = false;
        openReport(result);
    });
    const int shownMs = popupTimeoutSeconds * timing.millisecondsPerSecond;
    trayIcon->showMessage(QStringLiteral("Skyvane"), why, QSystemTrayIcon::Warning, shownMs);
    failureShown = true;
    QTimer::singleShot(shownMs, this, [this] {
        failureShown = false;
        endRunWhenAllClosed();
    });
}

void IconWindow::showNotificationPopup(const CheckResult& result)
{
    popup = new NotificationPopup(settings, popupMessage(int(result.missing.size())),
                                  popupTimeoutSeconds, timing);
    if (const int security = result.securityCount(); security > 0)
        popup->addLine(popupSecurityLine(security));
    popup->setAttribute(Qt::WA_DeleteOnClose);
    const QRect icon = trayIcon ? trayIcon->geometry() : QRect();
    if (!icon.isEmpty())
        popup->setScreenForPlacement(QGuiApplication::screenAt(icon.center()));
    // The report opened from the popup shows the check that raised it.
    connect(popup, &NotificationPopup::reportRequested, this,
            [this, result] { openReport(result); });
    connect(popup, &QObject::destroyed, this, &IconWindow::endRunWhenAllClosed,
            Qt::QueuedConnection);
    popup->show();
}

// A report of its own, beside the other windows rather than blocking them.
void IconWindow::openReport(const std::optional<CheckResult>& result)
{
    auto* report = new NotificationDialog(settings, checkRequest, result);
    report->setAttribute(Qt::WA_DeleteOnClose);
    reports.append(report);
    connect(report, &QObject::destroyed, this, &IconWindow::endRunWhenAllClosed,
            Qt::QueuedConnection);
    report->show();
    if (popup && popup->isVisible() && report->screen()) {
        const QRect frame = report->frameGeometry();
        report->move(
            reportPosition(frame, popup->frameGeometry(), report->screen()->availableGeometry()) +
            (report->pos() - frame.topLeft()));
    }
}

void IconWindow::showNotificationDialog()
{
    openReport(std::nullopt); // a new check
}

void IconWindow::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick)
        showNotificationDialog();
}

void IconWindow::endRunWhenAllClosed()
{
    reports.removeAll(nullptr);
    if (runLoop && !popup && !failureShown && reports.isEmpty())
        runLoop->exit();
}

void IconWindow::exit()
{
    close();
}

void IconWindow::closeEvent(QCloseEvent* event)
{
    if (trayIcon)
        trayIcon->setVisible(false);
    // "Exit" ends a check under way and the run: no popup follows, and the
    // popup and reports that are open close with it.
    if (checking)
        checking->abort();
    if (popup)
        popup->close();
    for (const QPointer<NotificationDialog>& report : std::as_const(reports)) {
        if (report)
            report->close();
    }
    if (runLoop)
        runLoop->exit();
    event->accept();
}
