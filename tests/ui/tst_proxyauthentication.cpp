// The GUI side of a retrieval through a proxy: the credentials dialog against
// squid demanding Basic authentication and the patch server demanding NTLM,
// and the settings dialog when the proxy is switched on without a host.

#include "core/common.h"
#include "core/settingsscrambler.h"
#include "exampleworld.h"
#include "limitedretrievalhost.h"
#include "modalwatcher.h"
#include "squidproxy.h"
#include "ui/desktopretrieval.h"
#include "update/quorixupdate.h"

#include <QtTest>
#include <QtWidgets>

class TestProxyAuthentication : public QObject
{
    Q_OBJECT

    ExampleWorld world;
    LimitedRetrievalHost<DesktopRetrievalHost> host{world.settings};
    SquidProxy squid{QStringLiteral("skyuser"), QStringLiteral("skypass")};

private slots:
    void initTestCase()
    {
        host.timeout = 5000;
        QVERIFY2(squid.problem().isEmpty(), qPrintable(squid.problem()));
    }
    void init()
    {
        QSettings().clear();
        Common* common = &world.settings;
        *common = Common();
        common->useProxyServer = true;
        common->useProxyAuthentication = true;
        common->proxy =
            QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", squid.port(), "skyuser", "stale");
    }

    void refusedCredentialsAreAskedFor_data()
    {
        QTest::addColumn<bool>("entered");
        QTest::newRow("entered credentials are used and saved") << true;
        QTest::newRow("cancelled: the retrieval fails, nothing is saved") << false;
    }
    void refusedCredentialsAreAskedFor()
    {
        QFETCH(bool, entered);
        ModalWatcher watcher; // the information box first, then the credentials
        watcher.expect([](QWidget* box) {
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
        });
        watcher.expect([entered](QWidget* dialog) {
            QVERIFY(!dialog->findChild<QLineEdit*>("hostEdit")->isEnabled());
            QCOMPARE(dialog->findChild<QLineEdit*>("userEdit")->text(), "skyuser"); // as stored
            QCOMPARE(dialog->findChild<QLabel*>("schemeLabel")->text(),
                     "The proxy asks for Basic authentication.");
            QCOMPARE(dialog->frameGeometry().center(),
                     dialog->screen()->availableGeometry().center());
            typeInto(dialog, "passEdit", QStringLiteral("skypass"));
            dialog->findChild<QDialogButtonBox*>("buttonBox")
                ->button(entered ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
                ->click();
        });
        QuorixUpdate update =
            QuorixUpdate::retrieve(world.listUrl(), host, world.software.versions, 0);
        QCOMPARE(watcher.seen().at(0).text,
                 QStringLiteral("The proxy server (127.0.0.1) requires authentication or the proxy "
                                "username/password is incorrect."));
        QCOMPARE(watcher.seen().at(1).className, QStringLiteral("ProxyDialog"));
        QCOMPARE(update.masterPatchList().size(), entered ? 1 : 0);
        QCOMPARE(world.settings.status, entered ? StatusCode::NoError : StatusCode::NetworkError);
        QCOMPARE(watcher.seen().size(), 2); // a cancel is said in the report, not in a box
        if (!entered)
            QCOMPARE(update.failureHeading(),
                     "The proxy refused the request without valid credentials.");
        const QString stored = QSettings().value("Startup/ProxyPassword").toString();
        QCOMPARE(SettingsScrambler(47265183).unscramble(stored), entered ? "skypass" : QString());
    }

    // Without a saved user, a proxy asking for NTLM is answered with what the
    // user types into a dialog that names the scheme.
    void ntlmIsNamedAndAnswered()
    {
        world.settings.proxy =
            QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", world.server.port());
        world.server.demandProxyAuthentication("NTLM", "alice");
        ModalWatcher watcher;
        watcher.expect([](QWidget* box) {
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
        });
        watcher.expect([](QWidget* dialog) {
            QCOMPARE(dialog->findChild<QLabel*>("schemeLabel")->text(),
                     "The proxy asks for NTLM authentication.");
            typeInto(dialog, "userEdit", QStringLiteral("alice"));
            typeInto(dialog, "passEdit", QStringLiteral("secret"));
            dialog->findChild<QDialogButtonBox*>("buttonBox")
                ->button(QDialogButtonBox::Ok)
                ->click();
        });
        const QuorixUpdate update =
            QuorixUpdate::retrieve(world.listUrl(), host, world.software.versions, 0);
        world.server.demandProxyAuthentication({});
        QCOMPARE(watcher.seen().size(), 2);
        QCOMPARE(update.masterPatchList().size(), 1);
    }

    void proxyWithoutHostOpensTheSettingsFirst()
    {
        world.settings.proxy = QNetworkProxy(QNetworkProxy::HttpProxy);
        ModalWatcher watcher;
        const quint16 proxyPort =
            world.server.port(); // the loopback server answers proxy requests too
        watcher.expect([proxyPort](QWidget* dialog) {
            typeInto(dialog, "proxyHost", QStringLiteral("127.0.0.1"));
            typeInto(dialog, "proxyPort", QString::number(proxyPort));
            dialog->findChild<QPushButton*>("okButton")->click();
        });
        const int before = world.listRequests();
        QuorixUpdate update =
            QuorixUpdate::retrieve(QStringLiteral("http://downloads.invalid/sky_vane/patches.json"),
                                   host, world.software.versions, 0);
        QCOMPARE(watcher.seen().first().className, QStringLiteral("SettingsDialog"));
        QCOMPARE(world.listRequests(), before + 1);
        QCOMPARE(QSettings().value("Startup/ProxyHost").toString(), QStringLiteral("127.0.0.1"));
    }
};

QTEST_MAIN(TestProxyAuthentication)
#include "tst_proxyauthentication.moc"
