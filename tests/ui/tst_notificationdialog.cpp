#include "app/common.h"
#include "exampleworld.h"
#include "modalwatcher.h"
#include "ui/notificationdialog.h"

#include <QtTest>
#include <QtWidgets>

class TestNotificationDialog : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
        Common::instance()->status = StatusCode::NoError;
        Common::instance()->patchListUrl = world.listUrl();
    }

    void progressViewThenReport();
    void failedRetrievalShowsTheStatus();
    void acceptedSettingsStoreCheckAtLogin();

private:
    // Shows the dialog and waits until its report is drawn.
    QTextBrowser* showReport(NotificationDialog& dialog)
    {
        auto* view = dialog.findChild<QTextBrowser*>(QStringLiteral("mainView"));
        [&] {
            QVERIFY(view->isHidden() &&
                    dialog.findChild<QWidget*>("progressView")->isVisibleTo(&dialog));
            dialog.show();
            QTRY_VERIFY(!view->isHidden());
            QVERIFY(!dialog.findChild<QWidget*>("progressView")->isVisible());
        }();
        return view;
    }

    ExampleWorld world;
};

void TestNotificationDialog::progressViewThenReport()
{
    const int before = world.listRequests();
    NotificationDialog dialog;
    QTextBrowser* view = showReport(dialog);
    QCOMPARE(view->toPlainText().count("Shared Fix <2>"), 2); // under both products, literally
    QVERIFY(view->toPlainText().contains("Release Date: 2026-10-01"));
    QVERIFY(view->toHtml().contains("href=\"http://downloads.vandry.com/shared.exe\""));
    QVERIFY(view->openExternalLinks());
    QCOMPARE(Common::instance()->status, StatusCode::NoError);
    NotificationDialog again; // each showing fetches the list again
    showReport(again);
    QCOMPARE(world.listRequests(), before + 2);
}

void TestNotificationDialog::failedRetrievalShowsTheStatus()
{
    Common::instance()->patchListUrl = world.server.url("/missing.json");
    ModalWatcher watcher; // the "Network Error" message box
    NotificationDialog dialog;
    const QString text = showReport(dialog)->toPlainText();
    QCOMPARE(watcher.seen().size(), 1);
    QCOMPARE(watcher.seen().first().title, QStringLiteral("Network Error"));
    QVERIFY(text.contains("Network connection error.") && !text.contains("Updates for"));
    QVERIFY(text.contains("Server Patch 1") && text.contains("patches-servicepacks"));
}

void TestNotificationDialog::acceptedSettingsStoreCheckAtLogin()
{
    Common::instance()->checkAtLogin = true;
    NotificationDialog dialog;
    showReport(dialog);
    ModalWatcher watcher;
    watcher.expect([](QWidget* modal) { modal->findChild<QPushButton*>("cancelButton")->click(); });
    QTest::mouseClick(dialog.findChild<QPushButton*>("settingsButton"), Qt::LeftButton);
    QCOMPARE(watcher.seen().first().className, QStringLiteral("SettingsDialog"));
    QVERIFY(!QSettings().contains("Startup/checkAtLogin"));

    watcher.expect([](QWidget* modal) { modal->findChild<QPushButton*>("okButton")->click(); });
    QTest::mouseClick(dialog.findChild<QPushButton*>("settingsButton"), Qt::LeftButton);
    QCOMPARE(QSettings().value("Startup/checkAtLogin").toString(), QStringLiteral("false"));
    QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(TestNotificationDialog)
#include "tst_notificationdialog.moc"
