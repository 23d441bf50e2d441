// The tray icon under a real tray host (run_tray_test.sh starts Xvfb and
// trayer, and then runs the real program's tray run: icon, popup, clean end).
// Without a tray the program test covers the run.

#include "core/common.h"
#include "exampleworld.h"
#include "modalwatcher.h"
#include "ui/iconwindow.h"
#include "update/updaterequest.h"

#include <QtTest>
#include <QtWidgets>

class TestIconWindow : public QObject
{
    Q_OBJECT

    ExampleWorld world;

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QSKIP("needs a real tray host: run_tray_test.sh");
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
    }

    void onlyDoubleClickOpensTheReport()
    {
        Common::instance()->status = StatusCode::NetworkError; // no request, no popup
        IconWindow window;
        ModalWatcher watcher;
        watcher.expect([&window](QWidget* dialog) {
            QCOMPARE(dialog->parentWidget(), &window);
            dialog->findChild<QPushButton*>("okButton")->click();
        });
        for (const auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick})
            QMetaObject::invokeMethod(&window, "iconActivated",
                                      Q_ARG(QSystemTrayIcon::ActivationReason, reason));
        QCOMPARE(watcher.seen().size(), 1);
    }

    void exitDuringTheCheckEndsTheRun()
    {
        Common::instance()->status = StatusCode::NoError;
        // "Exit" once the check's request has reached the server.
        Common::instance()->patchListUrl = world.silentListUrl(this, [] {
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
        IconWindow window; // the whole tray run
        QVERIFY2(clock.elapsed() < RetrievalHost::defaultTimeoutMs / 3, "the check ran on");
        QVERIFY(watcher.seen().isEmpty()); // no box
        QVERIFY(!window.trayIconForTesting()->isVisible());
        UpdateRequest::resetAbortForTesting();
    }
};

QTEST_MAIN(TestIconWindow)
#include "tst_iconwindow.moc"
