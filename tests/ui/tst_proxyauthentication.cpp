// The GUI side of a retrieval through a proxy: the credentials dialog against
// squid demanding Basic authentication, and the settings dialog when the proxy
// is switched on without a host.

#include "app/common.h"
#include "app/settingsscrambler.h"
#include "modalwatcher.h"
#include "patchserver.h"
#include "squidproxy.h"
#include "ui/widgetfrontend.h"
#include "update/quorixupdate.h"
#include "update/updaterequest.h"

#include "testsettings.h"

#include <QtTest>
#include <QtWidgets>

namespace {
const QByteArray patchList =
    R"({"Product": [{"version": "10.3", "patches": [{"Name": "P1", "Platform": "Windows"}]}]})";

void typeInto(QWidget* dialog, const char* name, const QString& text)
{
    auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(name));
    edit->clear();
    QTest::keyClicks(edit, text);
}
} // namespace

class TestProxyAuthentication : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTestSettings();
        setGuiFrontend(&frontend);
        UpdateRequest::setTimeoutForTesting(5000);
        QVERIFY(server.listen());
        PatchServer::Response list;
        list.body = patchList;
        server.setResponse(QStringLiteral("/sky_vane/patches.json"), list);
        const QString problem = squid.start();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
    void init()
    {
        QSettings().clear();
        Common::instance()->resetForTesting();
    }

    void wrongStoredCredentialsAskForNewOnes();
    void cancelledCredentialsFailTheRetrieval();
    void proxyWithoutHostOpensTheSettingsFirst();

private:
    void useSquidWith(const QString& user, const QString& password)
    {
        Common* common = Common::instance();
        common->useProxyServer = true;
        common->useProxyAuthentication = true;
        common->manualProxy = QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"),
                                            squid.port(), user, password);
    }

    WidgetFrontend frontend;
    PatchServer server;
    SquidProxy squid{QStringLiteral("skyuser"), QStringLiteral("skypass")};
};

void TestProxyAuthentication::wrongStoredCredentialsAskForNewOnes()
{
    useSquidWith(QStringLiteral("skyuser"), QStringLiteral("stale"));
    ModalWatcher watcher;
    watcher.expect(
        [](QWidget* box) { qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click(); });
    watcher.expect([](QWidget* dialog) {
        QVERIFY(!dialog->findChild<QLineEdit*>("hostEdit")->isEnabled());
        typeInto(dialog, "userEdit", QStringLiteral("skyuser"));
        typeInto(dialog, "passEdit", QStringLiteral("skypass"));
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    });

    QuorixUpdate update(server.url(QStringLiteral("/sky_vane/patches.json")));
    QCOMPARE(Common::instance()->status, int(NoError));
    QCOMPARE(update.masterPatchList().size(), 1);

    QCOMPARE(watcher.seen().size(), 2);
    QCOMPARE(watcher.seen().at(0).title, QStringLiteral("Proxy Authentication Required"));
    QCOMPARE(watcher.seen().at(0).text,
             QStringLiteral("The proxy server (127.0.0.1) requires authentication or the proxy "
                            "username/password is incorrect."));
    QCOMPARE(watcher.seen().at(1).className, QStringLiteral("ProxyDialog"));

    QSettings store;
    QCOMPARE(store.value(QStringLiteral("Startup/UseProxyAuthentication")).toBool(), true);
    QCOMPARE(store.value(QStringLiteral("Startup/ProxyUsername")).toString(),
             QStringLiteral("skyuser"));
    const QString scrambled = store.value(QStringLiteral("Startup/ProxyPassword")).toString();
    QVERIFY(scrambled != QStringLiteral("skypass"));
    QCOMPARE(SettingsScrambler(47265183).unscramble(scrambled), QStringLiteral("skypass"));
}

void TestProxyAuthentication::cancelledCredentialsFailTheRetrieval()
{
    useSquidWith(QStringLiteral("skyuser"), QStringLiteral("stale"));
    ModalWatcher watcher;
    watcher.expect(
        [](QWidget* box) { qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click(); });
    watcher.expect([](QWidget* dialog) {
        dialog->findChild<QDialogButtonBox*>("buttonBox")
            ->button(QDialogButtonBox::Cancel)
            ->click();
    });
    // The "Network Error" box that follows is closed by the watcher's default.
    QuorixUpdate update(server.url(QStringLiteral("/sky_vane/patches.json")));
    QCOMPARE(Common::instance()->status, int(NetworkError));
    QVERIFY(update.masterPatchList().isEmpty());
    QCOMPARE(watcher.seen().size(), 3);
    QCOMPARE(watcher.seen().at(2).title, QStringLiteral("Network Error"));
    QVERIFY(!QSettings().contains(QStringLiteral("Startup/ProxyPassword")));
}

void TestProxyAuthentication::proxyWithoutHostOpensTheSettingsFirst()
{
    Common::instance()->useProxyServer = true;
    ModalWatcher watcher;
    const quint16 proxyPort = server.port(); // the loopback server answers proxy requests too
    watcher.expect([proxyPort](QWidget* dialog) {
        typeInto(dialog, "proxyHost", QStringLiteral("127.0.0.1"));
        auto* port = dialog->findChild<QSpinBox*>("proxyPort");
        port->selectAll();
        QTest::keyClicks(port, QString::number(proxyPort));
        dialog->findChild<QPushButton*>("okButton")->click();
    });
    const int before = server.requestCount(QStringLiteral("/sky_vane/patches.json"));
    QuorixUpdate update(QStringLiteral("http://downloads.invalid/sky_vane/patches.json"));
    QCOMPARE(watcher.seen().size(), 1);
    QCOMPARE(watcher.seen().first().className, QStringLiteral("SettingsDialog"));
    QCOMPARE(Common::instance()->status, int(NoError));
    QCOMPARE(update.masterPatchList().size(), 1);
    QCOMPARE(server.requestCount(QStringLiteral("/sky_vane/patches.json")), before + 1);
    QCOMPARE(QSettings().value(QStringLiteral("Startup/ProxyHost")).toString(),
             QStringLiteral("127.0.0.1"));
}

QTEST_MAIN(TestProxyAuthentication)
#include "tst_proxyauthentication.moc"
