// The tray run. Without a tray (the offscreen platform) it ends at once; with
// a real tray host (run_tray_test.sh starts Xvfb and trayer) it shows the
// icon, the popup, and ends cleanly.

#include "app/common.h"
#include "exampleworld.h"
#include "logcapture.h"
#include "modalwatcher.h"
#include "ui/iconwindow.h"
#include "ui/notificationpopup.h"
#include "ui/widgetfrontend.h"

#include "testsettings.h"

#include <QtTest>
#include <QtWidgets>

class TestIconWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTestSettings();
        setGuiFrontend(&frontend);
        NotificationPopup::setTimingForTesting(10, 20);
        world = std::make_unique<ExampleWorld>();
    }
    void init() { Common::instance()->status = NoError; }

    void popupMessages();
    void withoutTrayNothingHappens();
    void onlyDoubleClickOpensTheReport_data();
    void onlyDoubleClickOpensTheReport();
    void trayRunShowsIconAndPopup();

private:
    WidgetFrontend frontend;
    std::unique_ptr<ExampleWorld> world;
};

void TestIconWindow::popupMessages()
{
    QCOMPARE(popupMessage(1),
             QStringLiteral("1 update(s) are available.  Click here to review these updates."));
    QCOMPARE(popupMessage(12),
             QStringLiteral("12 update(s) are available.  Click here to review these updates."));
    QCOMPARE(popupMessage(0), QStringLiteral("No updates available."));
}

void TestIconWindow::withoutTrayNothingHappens()
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        QSKIP("this platform has a system tray");
    const int before = world->server.requestCount(QStringLiteral("/sky_vane/patches.json"));
    LogCapture log(1);
    IconWindow window;
    QVERIFY(!window.trayIconForTesting());
    QCOMPARE(log.lines(), QStringList{"Fatal: No system tray available.  Exiting."});
    QCOMPARE(world->server.requestCount(QStringLiteral("/sky_vane/patches.json")), before);
}

void TestIconWindow::onlyDoubleClickOpensTheReport_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("opens");
    QTest::newRow("double-click") << int(QSystemTrayIcon::DoubleClick) << true;
    QTest::newRow("click") << int(QSystemTrayIcon::Trigger) << false;
    QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false;
    QTest::newRow("context") << int(QSystemTrayIcon::Context) << false;
}

void TestIconWindow::onlyDoubleClickOpensTheReport()
{
    QFETCH(int, reason);
    QFETCH(bool, opens);
    // Without a tray the run ends with QCoreApplication::exit(), after which no
    // modal loop of this process would run.
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        QSKIP("needs a real tray host: run_tray_test.sh");
    Common::instance()->status = NetworkError; // no request, no updates: the run ends at once
    IconWindow window;
    ModalWatcher watcher;
    QWidget* parentSeen = nullptr;
    watcher.expect([&parentSeen](QWidget* dialog) {
        parentSeen = dialog->parentWidget();
        dialog->findChild<QPushButton*>("okButton")->click();
    });
    QMetaObject::invokeMethod(
        &window, "iconActivated",
        Q_ARG(QSystemTrayIcon::ActivationReason, QSystemTrayIcon::ActivationReason(reason)));
    QCOMPARE(watcher.seen().size(), opens ? 1 : 0);
    if (opens) {
        QCOMPARE(watcher.seen().first().className, QStringLiteral("NotificationDialog"));
        QCOMPARE(parentSeen, &window);
    }
}

void TestIconWindow::trayRunShowsIconAndPopup()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        QSKIP("needs a real tray host: run_tray_test.sh");
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);

    bool iconSeen = false;
    QString popupText;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget* widget : windows) {
            if (auto* icon = qobject_cast<IconWindow*>(widget)) {
                if (icon->trayIconForTesting() && icon->trayIconForTesting()->isVisible())
                    iconSeen = true;
            }
            if (auto* popup = qobject_cast<NotificationPopup*>(widget); popup && popup->isVisible())
                popupText = popup->findChild<QLabel*>("mainView")->text();
        }
    });
    watch.start(5);

    const int before = world->server.requestCount(QStringLiteral("/sky_vane/patches.json"));
    IconWindow window; // the whole run: check, popup (timing shortened), end
    watch.stop();
    QVERIFY(iconSeen);
    QCOMPARE(popupText,
             QStringLiteral("<h2>Quorix for Server and Extensions</h2><p> 2 update(s) are "
                            "available.  Click here to review these updates. </p>"));
    QCOMPARE(world->server.requestCount(QStringLiteral("/sky_vane/patches.json")), before + 2);
    QVERIFY(window.trayIconForTesting());
    QVERIFY(!window.trayIconForTesting()->isVisible()); // hidden at the end of the run
}

QTEST_MAIN(TestIconWindow)
#include "tst_iconwindow.moc"
