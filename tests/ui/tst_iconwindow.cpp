// The tray run under a real tray host (run_tray_test.sh starts Xvfb and
// trayer): the icon, the popup, and a clean end. Without a tray the program
// test covers the run.

#include "app/common.h"
#include "exampleworld.h"
#include "modalwatcher.h"
#include "ui/iconwindow.h"
#include "ui/notificationpopup.h"

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

    void trayRunShowsIconAndPopup()
    {
        bool iconSeen = false;
        QString popupText;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* icon = qobject_cast<IconWindow*>(widget))
                    iconSeen |=
                        icon->trayIconForTesting() && icon->trayIconForTesting()->isVisible();
                if (auto* popup = qobject_cast<NotificationPopup*>(widget);
                    popup && popup->isVisible())
                    popupText = popup->findChild<QLabel*>("mainView")->text();
            }
        });
        watch.start(5);
        const int before = world.listRequests();
        IconWindow window; // the whole run: check, popup (timing shortened), end
        QVERIFY(iconSeen);
        QVERIFY(popupText.contains(
            " 2 update(s) are available.  Click here to review these updates. "));
        QCOMPARE(world.listRequests(), before + 2);
        QVERIFY(!window.trayIconForTesting()->isVisible()); // hidden at the end of the run
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
};

QTEST_MAIN(TestIconWindow)
#include "tst_iconwindow.moc"
