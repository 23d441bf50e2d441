#include "app/common.h"
#include "modalwatcher.h"
#include "ui/notificationpopup.h"
#include "ui/widgetfrontend.h"

#include "testsettings.h"

#include <QtTest>
#include <QtWidgets>

class TestNotificationPopup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTestSettings();
        setGuiFrontend(&frontend);
        NotificationPopup::setTimingForTesting(10, 20);
    }
    void init()
    {
        QSettings().clear();
        Common::instance()->resetForTesting();
        Common::instance()->checkAtLogin = true;
    }

    void placement_data();
    void placement();
    void formAndMessage();
    void slidesInToItsRestingPlace();
    void closeButtonSlidesOutAndSavesTheSetting();
    void timeoutCloses();
    void noTimeoutStaysOpen();
    void dragging();
    void clickOnMessageOpensTheReport();

private:
    WidgetFrontend frontend;
};

void TestNotificationPopup::placement_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("resting");
    QTest::addColumn<QRect>("slideInStart");
    QTest::addColumn<QRect>("slideOutEnd");

    QTest::newRow("taskbar at the bottom")
        << QRect(0, 0, 1920, 1040) << QRect(0, 0, 1920, 1080) << QRect(1384, 891, 516, 129)
        << QRect(1384, 1079, 516, 0) << QRect(1384, 1079, 516, 1079);
    // Measured from the origin: the work area's own offset is not added.
    QTest::newRow("taskbar on the left")
        << QRect(60, 0, 1860, 1080) << QRect(0, 0, 1920, 1080) << QRect(1324, 931, 516, 129)
        << QRect(1324, 1079, 516, 0) << QRect(1324, 1079, 516, 1079);
}

void TestNotificationPopup::placement()
{
    QFETCH(QRect, available);
    QFETCH(QRect, screen);
    QFETCH(QRect, resting);
    QFETCH(QRect, slideInStart);
    QFETCH(QRect, slideOutEnd);
    const PopupPlacement place = popupPlacement(available, screen, QSize(516, 129));
    QCOMPARE(place.resting, resting);
    QCOMPARE(place.slideInStart, slideInStart);
    QCOMPARE(place.slideOutEnd, slideOutEnd);
}

void TestNotificationPopup::formAndMessage()
{
    NotificationPopup popup(QStringLiteral("3 update(s) are available."), -1);
    QCOMPARE(popup.objectName(), QStringLiteral("NotificationPopup"));
    QCOMPARE(popup.windowTitle(), QStringLiteral("Updates Available"));
    QVERIFY(popup.windowFlags() & Qt::Popup);
    QCOMPARE(popup.findChild<QLabel*>("mainView")->text(),
             QStringLiteral(
                 "<h2>Quorix for Server and Extensions</h2><p> 3 update(s) are available. </p>"));
    QCOMPARE(popup.findChild<QLabel*>("titleBar")->text(), QStringLiteral("Updates Available"));
    QCOMPARE(popup.findChild<QPushButton*>("closeButton")->text(), QStringLiteral("X"));
    QVERIFY(popup.findChild<QCheckBox*>("updateCheck")->isHidden());
    QVERIFY(!popup.findChild<QCheckBox*>("updateCheck")->isChecked());
    QCOMPARE(popup.findChild<QLabel*>("leftPanel")->pixmap().size(), QSize(128, 128));
}

void TestNotificationPopup::slidesInToItsRestingPlace()
{
    NotificationPopup popup(QStringLiteral("1 update"), -1);
    popup.show();
    const QScreen* screen = QGuiApplication::primaryScreen();
    QTRY_COMPARE(
        popup.geometry(),
        popupPlacement(screen->availableGeometry(), screen->geometry(), popup.size()).resting);
    const QRect available = screen->availableGeometry();
    QCOMPARE(popup.geometry().right(), available.width() - 20 - 1);
    QCOMPARE(popup.geometry().bottom(), available.height() - 20 - 1);
}

void TestNotificationPopup::closeButtonSlidesOutAndSavesTheSetting()
{
    NotificationPopup popup(QStringLiteral("1 update"), -1);
    popup.show();
    QTRY_VERIFY(popup.isVisible());
    const QScreen* screen = QGuiApplication::primaryScreen();
    const PopupPlacement place =
        popupPlacement(screen->availableGeometry(), screen->geometry(), popup.size());
    QTest::mouseClick(popup.findChild<QPushButton*>("closeButton"), Qt::LeftButton);
    QVERIFY(!popup.isVisible());
    QCOMPARE(popup.geometry(), place.slideOutEnd); // left through the bottom edge, then closed
    QCOMPARE(QSettings().value(QStringLiteral("Startup/checkAtLogin")).toString(),
             QStringLiteral("false"));
    QCOMPARE(Common::instance()->checkAtLogin, false);
}

void TestNotificationPopup::timeoutCloses()
{
    NotificationPopup popup(QStringLiteral("1 update"), 2); // 2 "seconds" of 10 ms each
    popup.show();
    QTRY_VERIFY(!popup.isVisible());
    QVERIFY(QSettings().contains(QStringLiteral("Startup/checkAtLogin")));
}

void TestNotificationPopup::noTimeoutStaysOpen()
{
    NotificationPopup popup(QStringLiteral("1 update"), -1);
    popup.show();
    QTest::qWait(100); // ten times what a time-out of one second takes under test timing
    QVERIFY(popup.isVisible());
}

void TestNotificationPopup::dragging()
{
    NotificationPopup popup(QStringLiteral("1 update"), -1);
    popup.show();
    QTest::qWait(50);
    auto* title = popup.findChild<QLabel*>("titleBar");
    const QPoint start = popup.pos();
    auto send = [title](QEvent::Type type, QPoint pos, Qt::MouseButton button,
                        Qt::MouseButtons buttons) {
        QMouseEvent event(type, pos, title->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(title, &event);
    };
    send(QEvent::MouseButtonPress, QPoint(10, 5), Qt::RightButton, Qt::RightButton);
    send(QEvent::MouseMove, QPoint(40, 25), Qt::NoButton, Qt::RightButton);
    QCOMPARE(popup.pos(), start);

    send(QEvent::MouseButtonPress, QPoint(10, 5), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(30, 15), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(popup.pos(), start + QPoint(20, 10));
    send(QEvent::MouseButtonRelease, QPoint(30, 15), Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseMove, QPoint(50, 15), Qt::NoButton, Qt::NoButton);
    QCOMPARE(popup.pos(), start + QPoint(20, 10));
}

void TestNotificationPopup::clickOnMessageOpensTheReport()
{
    Common::instance()->status = NetworkError; // the report then makes no request
    NotificationPopup popup(QStringLiteral("1 update"), -1);
    popup.show();
    ModalWatcher watcher;
    watcher.expect([](QWidget* modal) {
        QTRY_VERIFY(!modal->findChild<QWidget*>("mainView")->isHidden());
        modal->findChild<QPushButton*>("okButton")->click();
    });
    auto* message = popup.findChild<QLabel*>("mainView");
    QTest::mouseClick(message, Qt::RightButton);
    QVERIFY(watcher.seen().isEmpty());
    QTest::mouseClick(message, Qt::LeftButton);
    QCOMPARE(watcher.seen().size(), 1);
    QCOMPARE(watcher.seen().first().className, QStringLiteral("NotificationDialog"));
}

QTEST_MAIN(TestNotificationPopup)
#include "tst_notificationpopup.moc"
