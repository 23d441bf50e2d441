#include "app/common.h"
#include "exampleworld.h"
#include "modalwatcher.h"
#include "ui/notificationpopup.h"

#include <QtTest>
#include <QtWidgets>

class TestNotificationPopup : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
        Common::instance()->checkAtLogin = true;
    }

    void placement_data();
    void placement();
    void slidesInAndOutSavingTheSetting();
    void timeoutCloses();
    void draggingByTheTitle();
    void leftClickOnTheMessageOpensTheReport();

private:
    ExampleWorld world;
};

void TestNotificationPopup::placement_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("resting");
    QTest::newRow("taskbar at the bottom") << QRect(0, 0, 1920, 1040) << QRect(1384, 891, 516, 129);
    // Measured from the origin: the work area's own offset is not added.
    QTest::newRow("taskbar on the left") << QRect(60, 0, 1860, 1080) << QRect(1324, 931, 516, 129);
}

void TestNotificationPopup::placement()
{
    QFETCH(QRect, available);
    QFETCH(QRect, resting);
    const PopupPlacement place =
        popupPlacement(available, QRect(0, 0, 1920, 1080), QSize(516, 129));
    QCOMPARE(place.resting, resting);
    QCOMPARE(place.slideInStart, QRect(resting.x(), 1079, 516, 0));
    QCOMPARE(place.slideOutEnd, QRect(resting.x(), 1079, 516, 1079));
}

void TestNotificationPopup::slidesInAndOutSavingTheSetting()
{
    NotificationPopup popup(QStringLiteral("1 update"), -1);
    QCOMPARE(popup.findChild<QLabel*>("mainView")->text(),
             QStringLiteral("<h2>Quorix for Server and Extensions</h2><p> 1 update </p>"));
    popup.show();
    const QScreen* screen = QGuiApplication::primaryScreen();
    QTRY_COMPARE(
        popup.geometry(),
        popupPlacement(screen->availableGeometry(), screen->geometry(), popup.size()).resting);
    const PopupPlacement place =
        popupPlacement(screen->availableGeometry(), screen->geometry(), popup.size());
    QTest::mouseClick(popup.findChild<QPushButton*>("closeButton"), Qt::LeftButton);
    QVERIFY(!popup.isVisible());
    QCOMPARE(popup.geometry(), place.slideOutEnd); // left through the bottom edge, then closed
    QCOMPARE(QSettings().value("Startup/checkAtLogin").toString(), QStringLiteral("false"));
}

void TestNotificationPopup::timeoutCloses()
{
    NotificationPopup popup(QStringLiteral("1 update"), 2); // 2 "seconds" of 10 ms each
    popup.show();
    QTRY_VERIFY(!popup.isVisible());
    QVERIFY(QSettings().contains("Startup/checkAtLogin"));
}

void TestNotificationPopup::draggingByTheTitle()
{
    NotificationPopup popup(QStringLiteral("1 update"), -1);
    popup.show();
    const QScreen* screen = QGuiApplication::primaryScreen();
    QTRY_COMPARE(
        popup.geometry(),
        popupPlacement(screen->availableGeometry(), screen->geometry(), popup.size()).resting);
    auto* title = popup.findChild<QLabel*>("titleBar");
    const QPoint start = popup.pos();
    auto send = [title](QEvent::Type type, QPoint pos, Qt::MouseButton button,
                        Qt::MouseButtons buttons) {
        QMouseEvent event(type, pos, title->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(title, &event);
    };
    send(QEvent::MouseButtonPress, QPoint(10, 5), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(30, 15), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(30, 15), Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseMove, QPoint(50, 15), Qt::NoButton, Qt::NoButton);
    QCOMPARE(popup.pos(), start + QPoint(20, 10));
}

void TestNotificationPopup::leftClickOnTheMessageOpensTheReport()
{
    Common::instance()->status = StatusCode::NetworkError; // the report then makes no request
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
