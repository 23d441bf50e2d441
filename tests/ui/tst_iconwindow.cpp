// The tray icon under a real tray host (run_tray_test.sh starts Xvfb and
// trayer, and then runs the real program's tray run: icon, popup, clean end).
// Without a tray the program test covers the run.

#include "core/common.h"
#include "exampleworld.h"
#include "modalwatcher.h"
#include "ui/iconwindow.h"
#include "ui/notificationdialog.h"
#include "ui/notificationpopup.h"
#include "update/updaterequest.h"

#include <QtTest>
#include <QtWidgets>

class TestIconWindow : public QObject
{
    Q_OBJECT

    ExampleWorld world;

    template <class Window> static QList<Window*> visible()
    {
        QList<Window*> found;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
                found << window;
        }
        return found;
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QSKIP("needs a real tray host: run_tray_test.sh");
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
    }

    void onlyDoubleClickOpensTheReport()
    {
        world.settings.status = StatusCode::NetworkError; // no request, no popup
        IconWindow window(world.settings, world.request(), ExampleWorld::fastPopup);
        for (const auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick})
            QMetaObject::invokeMethod(&window, "iconActivated",
                                      Q_ARG(QSystemTrayIcon::ActivationReason, reason));
        const QList<NotificationDialog*> reports = visible<NotificationDialog>();
        QCOMPARE(reports.size(), 1);
        // Not modal: the tray icon and its menu stay usable beside it.
        QVERIFY(!reports.first()->isModal() && !QApplication::activeModalWidget());
        reports.first()->close();
    }

    // The popup of a check and the report opened from it show that check; "Exit"
    // while they are open closes both and ends the run at once.
    void oneFetchPerCheckAndExitWhileThePopupIsShown()
    {
        world.settings.status = StatusCode::NoError;
        world.settings.patchListUrl = world.listUrl();
        const int before = world.listRequests();
        QString report, popupText;
        QTimer driver;
        connect(&driver, &QTimer::timeout, this, [&] {
            const QList<NotificationPopup*> popups = visible<NotificationPopup>();
            const QList<NotificationDialog*> reports = visible<NotificationDialog>();
            if (popups.size() == 1 && reports.isEmpty()) {
                popupText = popups.first()->findChild<QLabel*>("mainView")->text();
                QTest::mouseClick(popups.first()->findChild<QLabel*>("mainView"), Qt::LeftButton);
            } else if (reports.size() == 1) {
                auto* view = reports.first()->findChild<QTextBrowser*>("mainView");
                if (view->isHidden())
                    return;
                QCOMPARE(popups.size(), 1); // the popup stays beside the report
                QVERIFY(!reports.first()->frameGeometry().intersects(popups.first()->geometry()));
                report = view->toPlainText();
                driver.stop();
                QAction* exit = nullptr;
                for (QWidget* widget : QApplication::topLevelWidgets())
                    exit = exit ? exit : widget->findChild<QAction*>("exitAction");
                exit->trigger(); // it closes windows: not while they are listed
            }
        });
        driver.start(10);
        QElapsedTimer clock;
        clock.start();
        IconWindow(world.settings, world.request(),
                   {1000, 20}); // the whole tray run, the popup shown for its real 15 s
        QVERIFY2(clock.elapsed() < 5000, "the run waited for the popup's time-out");
        QCOMPARE(world.listRequests(), before + 1);
        QVERIFY2(report.contains("Server Patch 3"), qPrintable(report));
        QVERIFY2(popupText.contains("update(s) are available.") &&
                     popupText.contains("<p> Security fixes among them: 1. </p>"),
                 qPrintable(popupText));
        QTRY_VERIFY(visible<NotificationPopup>().isEmpty() &&
                    visible<NotificationDialog>().isEmpty());
    }

    // A failed check at log-on puts no box in the user's way: the tray says why,
    // and its message opens the report of that check.
    void failedCheckIsToldByTheTray()
    {
        world.server.setResponse("/gone", PatchServer::Response::with(404));
        world.settings.status = StatusCode::NoError;
        world.settings.patchListUrl = world.server.url("/gone");
        const int before = world.server.requestCount("/gone");
        ModalWatcher watcher;
        QString tip, report;
        QTimer driver;
        connect(&driver, &QTimer::timeout, this, [&] {
            const QList<NotificationDialog*> reports = visible<NotificationDialog>();
            if (reports.isEmpty()) {
                for (QWidget* widget : QApplication::topLevelWidgets()) {
                    auto* window = qobject_cast<IconWindow*>(widget);
                    if (window && window->icon() && tip.isEmpty() &&
                        window->icon()->toolTip().contains(QLatin1Char(10))) { // the reason added
                        tip = window->icon()->toolTip();
                        emit const_cast<QSystemTrayIcon*>(window->icon())->messageClicked();
                    }
                }
            } else if (auto* view = reports.first()->findChild<QTextBrowser*>("mainView");
                       !view->isHidden()) {
                report = view->toPlainText();
                driver.stop();
                reports.first()->close();
            }
        });
        driver.start(10);
        IconWindow window(world.settings, world.request(), {1000, 20}); // the whole tray run
        QVERIFY2(tip.contains("The server answered HTTP 404"), qPrintable(tip));
        QVERIFY2(report.contains("The server answered HTTP 404"), qPrintable(report));
        QCOMPARE(world.server.requestCount("/gone"), before + 1);
        for (const ModalWatcher::Seen& seen : watcher.seen())
            QCOMPARE(seen.className, QStringLiteral("NotificationDialog"));
    }

    void exitDuringTheCheckEndsTheRun()
    {
        world.settings.status = StatusCode::NoError;
        // "Exit" once the check's request has reached the server.
        world.settings.patchListUrl = world.silentListUrl(this, [] {
            // "Exit" hides the icon, which deletes the icon's own top-level widget:
            // the list is not read any further.
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* exit = widget->findChild<QAction*>("exitAction"))
                    return exit->trigger();
            }
        });
        ModalWatcher watcher;
        QElapsedTimer clock;
        clock.start();
        IconWindow window(world.settings, world.request(),
                          ExampleWorld::fastPopup); // the whole tray run
        QVERIFY2(clock.elapsed() < RetrievalHost::defaultTimeoutMs / 3, "the check ran on");
        QVERIFY(watcher.seen().isEmpty()); // no box
        QVERIFY(!window.icon()->isVisible());
    }
};

QTEST_MAIN(TestIconWindow)
#include "tst_iconwindow.moc"
