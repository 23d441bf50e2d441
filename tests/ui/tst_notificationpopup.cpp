#include "app/common.h"
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
        Common::instance()->checkAtLogin = true;
    }

    void placement_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("resting");
        QTest::newRow("taskbar at the bottom")
            << QRect(0, 0, 1920, 1040) << QRect(1384, 891, 516, 129);
        // Measured from the origin: the work area's own offset is not added.
        QTest::newRow("taskbar on the left")
            << QRect(60, 0, 1860, 1080) << QRect(1324, 931, 516, 129);
    }
    void placement()
    {
        QFETCH(QRect, available);
        QFETCH(QRect, resting);
        const PopupPlacement place =
            popupPlacement(available, QRect(0, 0, 1920, 1080), QSize(516, 129));
        QCOMPARE(place.resting, resting);
        QCOMPARE(place.slideInStart, QRect(resting.x(), 1079, 516, 0));
        QCOMPARE(place.slideOutEnd, QRect(resting.x(), 1079, 516, 1079));
    }

    void slidesInIsDraggedAndSlidesOutSavingTheSetting()
    {
        NotificationPopup popup(QStringLiteral("1 update"), -1);
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
        QTest::mouseClick(popup.findChild<QPushButton*>("closeButton"), Qt::LeftButton);
        QVERIFY(!popup.isVisible());
        QCOMPARE(popup.geometry(), placementOf(popup).slideOutEnd); // left through the bottom edge
        QCOMPARE(QSettings().value("Startup/checkAtLogin").toString(), QStringLiteral("false"));
    }

    void timeoutCloses()
    {
        NotificationPopup popup(QStringLiteral("1 update"), 2); // 2 "seconds" of 10 ms each
        popup.show();
        QTRY_VERIFY(!popup.isVisible());
        QVERIFY(QSettings().contains("Startup/checkAtLogin"));
    }

    void leftClickOnTheMessageOpensTheReport()
    {
        Common::instance()->status = StatusCode::NetworkError; // the report then makes no request
        NotificationPopup popup(QStringLiteral("1 update"), -1);
        popup.show();
        ModalWatcher watcher;
        watcher.expect([](QWidget* modal) { modal->findChild<QPushButton*>("okButton")->click(); });
        auto* message = popup.findChild<QLabel*>("mainView");
        QTest::mouseClick(message, Qt::RightButton);
        QVERIFY(watcher.seen().isEmpty());
        QTest::mouseClick(message, Qt::LeftButton);
        QCOMPARE(watcher.seen().size(), 1);
        QCOMPARE(watcher.seen().first().className, QStringLiteral("NotificationDialog"));
    }
};

QTEST_MAIN(TestNotificationPopup)
#include "tst_notificationpopup.moc"
