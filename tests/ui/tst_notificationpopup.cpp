#include "core/common.h"
#include "exampleworld.h"
#include "modalwatcher.h"
#include "ui/notificationpopup.h"

#include <QtTest>
#include <QtWidgets>

class TestNotificationPopup : public QObject
{
    Q_OBJECT

    static PopupPlacement placementOf(const QWidget& popup)
    {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return popupPlacement(screen->availableGeometry(), screen->geometry(), popup.size());
    }

    ExampleWorld world;

private slots:
    void init()
    {
        QSettings().clear();
        world.settings.checkAtLogin = true;
    }

    void placement_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("resting");
        const QRect fullHd(0, 0, 1920, 1080);
        QTest::newRow("taskbar at the bottom")
            << fullHd << QRect(0, 0, 1920, 1040) << QPoint(1384, 891);
        QTest::newRow("taskbar on the left")
            << fullHd << QRect(60, 0, 1860, 1080) << QPoint(1384, 931);
        QTest::newRow("taskbar at the top")
            << fullHd << QRect(0, 40, 1920, 1040) << QPoint(1384, 931);
        QTest::newRow("screen right of another")
            << QRect(1920, 0, 1280, 1024) << QRect(1920, 0, 1280, 984) << QPoint(2664, 835);
        QTest::newRow("screen above another")
            << QRect(0, -1024, 1280, 1024) << QRect(0, -1024, 1280, 984) << QPoint(744, -189);
    }
    void placement()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, available);
        QFETCH(QPoint, resting);
        const PopupPlacement place = popupPlacement(available, screen, QSize(516, 129));
        QCOMPARE(place.resting, QRect(resting, QSize(516, 129)));
        QCOMPARE(place.slideInStart, QRect(resting.x(), screen.bottom(), 516, 0));
    }
    // Run also on a desktop of two screens: the tray's is right of the other.
    void restsOnTheTraysScreen()
    {
        QScreen* tray = QGuiApplication::screens().last();
        NotificationPopup popup(world.settings, QStringLiteral("1 update"), -1,
                                ExampleWorld::fastPopup);
        popup.setScreenForPlacement(tray);
        popup.show();
        QTRY_VERIFY(tray->availableGeometry().contains(popup.geometry()));
        QCOMPARE(popup.geometry().bottomRight(),
                 tray->availableGeometry().bottomRight() - QPoint(20, 20));
        QCOMPARE(popup.size(), popup.sizeHint()); // nothing cut: it fits at its natural size
    }

    void slidesInIsDraggedAndSlidesOutSavingTheSetting()
    {
        NotificationPopup popup(world.settings, QStringLiteral("1 update"), -1,
                                ExampleWorld::fastPopup);
        QCOMPARE(popup.findChild<QLabel*>("mainView")->text(),
                 QStringLiteral("<h2>Quorix for Server and Extensions</h2><p> 1 update </p>"));
        popup.show();
        QTRY_COMPARE(popup.geometry(), placementOf(popup).resting);
        auto* title = popup.findChild<QLabel*>("titleBar");
        const QPoint start = popup.pos();
        for (const auto& [type, x, buttons] :
             {std::tuple{QEvent::MouseButtonPress, 10, Qt::LeftButton},
              {QEvent::MouseMove, 30, Qt::LeftButton},
              {QEvent::MouseButtonRelease, 30, Qt::NoButton},
              {QEvent::MouseMove, 50, Qt::NoButton}}) {
            QMouseEvent event(type, QPoint(x, 5), title->mapToGlobal(QPoint(x, 5)), Qt::LeftButton,
                              buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(title, &event);
        }
        QCOMPARE(popup.pos(), start + QPoint(20, 0)); // moved while the button was down
        const QRect dragged = popup.geometry();
        QTest::mouseClick(popup.findChild<QPushButton*>("closeButton"), Qt::LeftButton);
        QVERIFY(!popup.isVisible());
        // Left through the bottom edge from where it was, at its own size.
        QCOMPARE(popup.geometry(), QRect(dragged.x(), popup.screen()->geometry().bottom() + 1,
                                         dragged.width(), dragged.height()));
        QCOMPARE(QSettings().value("Startup/checkAtLogin").toString(), QStringLiteral("false"));
    }

    void timeoutCloses()
    {
        NotificationPopup popup(world.settings, QStringLiteral("1 update"), 2,
                                ExampleWorld::fastPopup); // 2 "seconds" of 10 ms each
        popup.show();
        QTRY_VERIFY(!popup.isVisible());
        QVERIFY(QSettings().contains("Startup/checkAtLogin"));
    }

    void leftClickOnTheMessageAsksForTheReport()
    {
        NotificationPopup popup(world.settings, QStringLiteral("1 update"), -1,
                                ExampleWorld::fastPopup);
        popup.show();
        QSignalSpy asked(&popup, &NotificationPopup::reportRequested);
        auto* message = popup.findChild<QLabel*>("mainView");
        QTest::mouseClick(message, Qt::RightButton);
        QCOMPARE(asked.size(), 0);
        QTest::mouseClick(message, Qt::LeftButton);
        QCOMPARE(asked.size(), 1);
        QVERIFY(popup.isVisible()); // it stays beside the report
    }

    void reportGoesWherePopupLeavesItVisible_data()
    {
        QTest::addColumn<QRect>("report");
        QTest::addColumn<QPoint>("expected");
        const QRect popup(1384, 891, 516, 129); // resting on a 1920 x 1040 work area
        QTest::newRow("centred, overlapping: left of the popup")
            << QRect(800, 300, 800, 700) << QPoint(1384 - 10 - 800, 300);
        QTest::newRow("wide: above the popup")
            << QRect(100, 300, 1500, 700) << QPoint(100, 891 - 10 - 700);
        QTest::newRow("apart already: stays") << QRect(0, 0, 800, 600) << QPoint(0, 0);
        QTest::newRow("no room anywhere: stays") << QRect(0, 0, 1800, 1000) << QPoint(0, 0);
    }
    void reportGoesWherePopupLeavesItVisible()
    {
        QFETCH(QRect, report);
        QFETCH(QPoint, expected);
        const QRect popup(1384, 891, 516, 129);
        const QPoint at = reportPosition(report, popup, QRect(0, 0, 1920, 1040));
        QCOMPARE(at, expected);
        if (at != report.topLeft())
            QVERIFY(!QRect(at, report.size()).intersects(popup));
    }
};

QTEST_MAIN(TestNotificationPopup)
#include "tst_notificationpopup.moc"
