#include "app/common.h"
#include "exampleworld.h"
#include "modalwatcher.h"
#include "ui/notificationdialog.h"
#include "ui/widgetfrontend.h"

#include "testsettings.h"

#include <QtTest>
#include <QtWidgets>

class TestNotificationDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTestSettings();
        setGuiFrontend(&frontend);
        world = std::make_unique<ExampleWorld>();
    }
    void init()
    {
        QSettings().clear();
        Common::instance()->status = NoError;
    }

    void formHasTheDocumentedShape();
    void progressViewThenReport();
    void failedRetrievalShowsTheStatus();
    void eachShowFetchesAgain();
    void acceptedSettingsStoreCheckAtLogin();
    void okButtonCloses();

private:
    static QTextBrowser* mainView(QWidget* dialog)
    {
        return dialog->findChild<QTextBrowser*>(QStringLiteral("mainView"));
    }

    WidgetFrontend frontend;
    std::unique_ptr<ExampleWorld> world;
};

void TestNotificationDialog::formHasTheDocumentedShape()
{
    NotificationDialog dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("NotificationDialog"));
    QCOMPARE(dialog.size(), QSize(813, 520));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Quorix for Server and Extensions Sky Vanes"));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    auto* left = dialog.findChild<QLabel*>("leftPanel");
    QCOMPARE(left->pixmap().size(), QSize(150, 480));
    QCOMPARE(left->styleSheet(),
             QStringLiteral("QLabel#leftPanel { background-color: #1e2d79; padding-top: 10px; }"));
    QCOMPARE(
        dialog.findChild<QFrame*>("footer")->styleSheet(),
        QStringLiteral("QFrame#footer { background-color: #ffffff; border-top: 2px solid #777; }"));
    auto* settings = dialog.findChild<QPushButton*>("settingsButton");
    QCOMPARE(settings->toolTip(), QStringLiteral("Settings"));
    QCOMPARE(settings->iconSize(), QSize(26, 26));
    QVERIFY(settings->isFlat());
    QVERIFY(settings->isDefault());
    QVERIFY(dialog.findChild<QCheckBox*>("updateCheck")->isHidden());
    QVERIFY(!dialog.findChild<QCheckBox*>("updateCheck")->isChecked());
    QCOMPARE(dialog.findChild<QLabel*>("progresLabel")->text(),
             QStringLiteral("Connecting to Vandry update server..."));
    auto* bar = dialog.findChild<QProgressBar*>("progressBar");
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 0);
}

void TestNotificationDialog::progressViewThenReport()
{
    NotificationDialog dialog;
    QVERIFY(!dialog.findChild<QWidget*>("progressView")->isHidden());
    QVERIFY(mainView(&dialog)->isHidden());
    dialog.show();
    QTRY_VERIFY(!mainView(&dialog)->isHidden());
    QVERIFY(dialog.findChild<QWidget*>("progressView")->isHidden());
    QVERIFY(mainView(&dialog)->openExternalLinks());

    const QString text = mainView(&dialog)->toPlainText();
    QVERIFY(text.contains(QStringLiteral("Updates for Quorix  for Server")) ||
            text.contains(QStringLiteral("Updates for Quorix 10.3 for Server")));
    QCOMPARE(text.count(QStringLiteral("Shared Fix <2>")), 2); // under both products, literally
    QVERIFY(text.contains(QStringLiteral("Release Date: 2026-10-01")));
    QVERIFY(text.contains(QStringLiteral("Server Patch 1")));
    const QString html = mainView(&dialog)->toHtml();
    QVERIFY(html.contains(QStringLiteral("href=\"http://downloads.vandry.com/shared.exe\"")));
    QVERIFY(!html.contains(QStringLiteral("file:///etc/passwd")));
    QCOMPARE(Common::instance()->status, int(NoError));
}

void TestNotificationDialog::failedRetrievalShowsTheStatus()
{
    Common::instance()->patchListAddress = world->server.url(QStringLiteral("/missing.json"));
    ModalWatcher watcher; // the "Network Error" message box
    NotificationDialog dialog;
    dialog.show();
    QTRY_VERIFY(!mainView(&dialog)->isHidden());
    Common::instance()->patchListAddress = world->listUrl();
    QCOMPARE(watcher.seen().size(), 1);
    QCOMPARE(watcher.seen().first().title, QStringLiteral("Network Error"));
    const QString text = mainView(&dialog)->toPlainText();
    QVERIFY(text.contains(QStringLiteral("Network connection error.")));
    QVERIFY(!text.contains(QStringLiteral("Updates for")));
    QVERIFY(text.contains(QStringLiteral("Server Patch 1")));
    QVERIFY(text.contains(QStringLiteral("patches-servicepacks")));
}

void TestNotificationDialog::eachShowFetchesAgain()
{
    const int before = world->server.requestCount(QStringLiteral("/sky_vane/patches.json"));
    for (int i = 0; i < 2; ++i) {
        NotificationDialog dialog;
        dialog.show();
        QTRY_VERIFY(!mainView(&dialog)->isHidden());
    }
    QCOMPARE(world->server.requestCount(QStringLiteral("/sky_vane/patches.json")), before + 2);
}

void TestNotificationDialog::acceptedSettingsStoreCheckAtLogin()
{
    Common::instance()->checkAtLogin = true;
    NotificationDialog dialog;
    dialog.show();
    QTRY_VERIFY(!mainView(&dialog)->isHidden());

    ModalWatcher watcher;
    watcher.expect([](QWidget* modal) { modal->findChild<QPushButton*>("cancelButton")->click(); });
    QTest::mouseClick(dialog.findChild<QPushButton*>("settingsButton"), Qt::LeftButton);
    QCOMPARE(watcher.seen().first().className, QStringLiteral("SettingsDialog"));
    QVERIFY(!QSettings().contains(QStringLiteral("Startup/checkAtLogin")));

    watcher.expect([](QWidget* modal) { modal->findChild<QPushButton*>("okButton")->click(); });
    QTest::mouseClick(dialog.findChild<QPushButton*>("settingsButton"), Qt::LeftButton);
    QCOMPARE(watcher.seen().size(), 2);
    QCOMPARE(QSettings().value(QStringLiteral("Startup/checkAtLogin")).toString(),
             QStringLiteral("false"));
    QCOMPARE(Common::instance()->checkAtLogin, false);
}

void TestNotificationDialog::okButtonCloses()
{
    NotificationDialog dialog;
    QTimer::singleShot(0, &dialog, [&dialog] {
        QTRY_VERIFY(!mainView(&dialog)->isHidden());
        QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
    });
    dialog.exec();
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(TestNotificationDialog)
#include "tst_notificationdialog.moc"
