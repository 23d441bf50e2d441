#include "app/check.h"
#include "core/common.h"
#include "exampleworld.h"
#include "limitedretrievalhost.h"
#include "modalwatcher.h"
#include "ui/desktopretrieval.h"
#include "ui/notificationdialog.h"
#include "update/updaterequest.h"

#include <QtTest>
#include <QtWidgets>

class TestNotificationDialog : public QObject
{
    Q_OBJECT

    // Shows the dialog: the progress view until the report is drawn.
    static QString report(NotificationDialog& dialog)
    {
        auto* view = dialog.findChild<QTextBrowser*>(QStringLiteral("mainView"));
        auto* progress = dialog.findChild<QWidget*>(QStringLiteral("progressView"));
        [&] {
            QVERIFY(view->isHidden() && !progress->isHidden());
            dialog.show();
            QTRY_VERIFY(!view->isHidden());
            QVERIFY(progress->isHidden() && view->openExternalLinks());
        }();
        return view->toHtml();
    }

    ExampleWorld world;

private slots:
    void init()
    {
        QSettings().clear();
        world.settings.status = StatusCode::NoError;
        world.settings.patchListUrl = world.listUrl();
    }

    // A failed retrieval is said once, in the report, which offers to check again.
    void failedRetrievalIsSaidInTheReportAndCanBeMadeAgain()
    {
        world.server.setResponse("/evil",
                                 PatchServer::Response::with(404).withReason("<h1>X</h1>"));
        const QString url = world.server.url("/evil");
        world.settings.patchListUrl = url;
        ModalWatcher watcher;
        NotificationDialog dialog(world.settings, world.request());
        auto* ok = dialog.findChild<QPushButton*>("okButton");
        auto* again = dialog.findChild<QPushButton*>("checkAgainButton");
        QCOMPARE(ok->text(), "Cancel");
        QString html = report(dialog);
        for (const ModalWatcher::Seen& seen : watcher.seen())
            QCOMPARE(seen.className, QStringLiteral("NotificationDialog"));
        QVERIFY2(html.contains("The server answered HTTP 404 &lt;h1&gt;X&lt;/h1&gt;"),
                 qPrintable(html));
        QVERIFY(!html.contains("Updates for"));
        QCOMPARE(world.settings.status, StatusCode::NetworkError);
        QVERIFY(!again->isHidden());
        QCOMPARE(ok->text(), "OK");

        QFile list(QStringLiteral(SKYVANE_TEST_DATA "/example-world-list.json"));
        QVERIFY(list.open(QIODevice::ReadOnly));
        world.server.setResponse("/evil", PatchServer::Response::with(200, list.readAll()));
        again->click();
        auto* view = dialog.findChild<QTextBrowser*>("mainView");
        QTRY_VERIFY(view->toHtml().contains("Updates for"));
        QVERIFY(again->isHidden());
        QCOMPARE(world.settings.status, StatusCode::NoError);
    }

    void silentServerShowsTheAttemptAndWhyTheLastFailed()
    {
        LimitedRetrievalHost<DesktopRetrievalHost> host(world.settings);
        host.timeout = 50;
        QStringList shown;
        host.showProgress = [&shown](const QString& text) { shown << text; };
        const QString url = world.silentListUrl(this, [] {});
        const CheckResult result = runCheck({"M", url, 0, {}, &world.software, {}, {}, {}}, host);
        QCOMPARE(shown.size(), 10); // each attempt's start and end
        QCOMPARE(shown.value(2),
                 "Attempt 2 of 5: " + url + "\nLast attempt: no answer within 0.05 s");
        QCOMPARE(result.listProblem, "no answer within 0.05 s");
        QCOMPARE(failureHeading(result), "No answer in 5 attempts of 0.05 s.");
    }

    void closingDuringTheRetrievalEndsIt_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"Escape", "Cancel", "window"})
            QTest::newRow(how) << QString(how);
    }
    void closingDuringTheRetrievalEndsIt()
    {
        QFETCH(QString, how);
        NotificationDialog* shown = nullptr;
        world.settings.patchListUrl = world.silentListUrl(this, [&] {
            if (how == "Escape")
                QTest::keyClick(shown, Qt::Key_Escape);
            else if (how == "Cancel")
                shown->findChild<QPushButton*>("okButton")->click();
            else
                shown->close();
        });
        NotificationDialog dialog(world.settings, world.request());
        shown = &dialog;
        ModalWatcher watcher;
        QElapsedTimer clock;
        clock.start();
        dialog.exec();
        QVERIFY2(clock.elapsed() < RetrievalHost::defaultTimeoutMs / 3, "the retrieval ran on");
        // No box, neither now nor at the time-out (the dialog itself may be seen).
        for (const ModalWatcher::Seen& seen : watcher.seen())
            QCOMPARE(seen.className, QStringLiteral("NotificationDialog"));
        QCOMPARE(world.settings.status, StatusCode::NoError);
    }

    void keyboard_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("ends"); // "top", "down", "bottom": the report's position
        QTest::addColumn<QString>("focus");
        QTest::newRow("PgDn") << QKeySequence("PgDown") << "down"
                              << "mainView";
        QTest::newRow("Down") << QKeySequence("Down") << "down"
                              << "mainView";
        QTest::newRow("End") << QKeySequence("End") << "bottom"
                             << "mainView";
        QTest::newRow("End, PgUp, Home") << QKeySequence("End, PgUp, Home") << "top"
                                         << "mainView";
        QTest::newRow("Tab: OK") << QKeySequence("Tab") << "top"
                                 << "okButton";
        QTest::newRow("Tab, Tab: the gear") << QKeySequence("Tab, Tab") << "top"
                                            << "settingsButton";
        QTest::newRow("Shift+Tab: the gear") << QKeySequence("Shift+Tab") << "top"
                                             << "settingsButton";
        QTest::newRow("Ctrl+Tab: a link") << QKeySequence("Ctrl+Tab") << "link"
                                          << "mainView";
    }
    void keyboard()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, ends);
        QFETCH(QString, focus);
        NotificationDialog dialog(world.settings, world.request());
        dialog.resize(500, 300); // short enough to scroll
        report(dialog);
        auto* view = dialog.findChild<QTextBrowser*>("mainView");
        QTRY_VERIFY(view->hasFocus()); // reading starts in the report
        const QScrollBar* bar = view->verticalScrollBar();
        QVERIFY(bar->maximum() > bar->pageStep());
        for (int i = 0; i < keys.count(); ++i)
            QTest::keyClick(QApplication::focusWidget(), keys[i].key(),
                            keys[i].keyboardModifiers());
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        if (ends == "link")
            QVERIFY(view->textCursor().charFormat().anchorHref().startsWith("http"));
        else if (ends == "down")
            QVERIFY(bar->value() > 0 && bar->value() < bar->maximum());
        else
            QCOMPARE(bar->value(), ends == "top" ? 0 : bar->maximum());
    }

    // Run also on 1366 x 768 at 150 % and 1280 x 1024 at 200 %.
    void fitsTheScreen()
    {
        NotificationDialog dialog(world.settings, world.request());
        dialog.show();
        const QRect room = dialog.screen()->availableGeometry();
        QTRY_VERIFY(room.contains(dialog.frameGeometry()));
        const QSize smallest = dialog.minimumSizeHint().expandedTo(dialog.minimumSize());
        QVERIFY(smallest.width() <= room.width() && smallest.height() <= room.height());
        // Images as sharp as the screen: at 2x the "@2x" pixels themselves.
        const QPixmap side = dialog.findChild<QLabel*>("leftPanel")->pixmap();
        QCOMPARE(side.devicePixelRatio(), dialog.devicePixelRatioF());
        QCOMPARE(side.deviceIndependentSize(), QSizeF(150, 480));
        if (dialog.devicePixelRatioF() == 2)
            QCOMPARE(side.toImage().convertToFormat(QImage::Format_ARGB32),
                     QImage(":/res/images/Quorix_Server_Patch_150x480@2x.png")
                         .convertToFormat(QImage::Format_ARGB32));
    }

    void acceptedSettingsStoreCheckAtLogin()
    {
        world.settings.checkAtLogin = true;
        const int before = world.listRequests();
        NotificationDialog dialog(world.settings, world.request());
        QVERIFY(report(dialog).contains("href=\"http://downloads.vandry.com/shared.exe\""));
        QCOMPARE(world.listRequests(), before + 1); // each showing fetches the list
        ModalWatcher watcher;
        for (const char* button : {"cancelButton", "okButton"}) {
            watcher.expect(
                [button](QWidget* modal) { modal->findChild<QPushButton*>(button)->click(); });
            QVERIFY(!QSettings().contains("Startup/checkAtLogin"));
            QTest::mouseClick(dialog.findChild<QPushButton*>("settingsButton"), Qt::LeftButton);
        }
        QCOMPARE(watcher.seen().first().className, QStringLiteral("SettingsDialog"));
        QCOMPARE(QSettings().value("Startup/checkAtLogin").toString(), QStringLiteral("false"));
        QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(TestNotificationDialog)
#include "tst_notificationdialog.moc"
