#include "app/common.h"
#include "app/settingsscrambler.h"
#include "testsettings.h"

#include <QSettings>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTestSettings(); }
    void init()
    {
        QSettings().clear();
        Common::instance()->resetForTesting();
    }

    void scrambleRoundTrip_data();
    void scrambleRoundTrip();
    void savedValuesReadBack_data();
    void savedValuesReadBack();
};

void TestSettings::scrambleRoundTrip_data()
{
    QTest::addColumn<QString>("plain");
    QTest::newRow("empty stays empty") << "";
    QTest::newRow("ascii") << "pa55";
    QTest::newRow("beyond the basic plane") << "Grüße \U0001F600";
}

void TestSettings::scrambleRoundTrip()
{
    QFETCH(QString, plain);
    SettingsScrambler scrambler(47265183);
    const QString hex = scrambler.scramble(plain);
    QCOMPARE(hex.size(), plain.isEmpty() ? 0 : 2 * plain.toUtf8().size() + 2);
    QVERIFY(!hex.contains(plain) || plain.isEmpty());
    QCOMPARE(scrambler.unscramble(hex), plain);
}

void TestSettings::savedValuesReadBack_data()
{
    QTest::addColumn<bool>("authenticate");
    QTest::newRow("with authentication") << true;
    QTest::newRow("credentials are kept only with authentication") << false;
}

void TestSettings::savedValuesReadBack()
{
    QFETCH(bool, authenticate);
    Common* common = Common::instance();
    common->readSettings();
    QCOMPARE(common->proxy.type(), QNetworkProxy::HttpProxy);
    QVERIFY(!common->useProxyServer && !common->checkAtLogin && common->proxy.hostName().isEmpty());

    common->useProxyServer = true;
    common->useProxyAuthentication = authenticate;
    common->checkAtLogin = true;
    common->proxy = QNetworkProxy(QNetworkProxy::HttpProxy, "proxy.lan", 3128, "alice", "pä55");
    QVERIFY(common->saveSettings());
    common->resetForTesting();
    common->readSettings();
    QVERIFY(common->useProxyServer && common->checkAtLogin);
    QCOMPARE(common->proxy.hostName(), QStringLiteral("proxy.lan"));
    QCOMPARE(common->proxy.port(), quint16(3128));
    QCOMPARE(common->proxy.user(), authenticate ? QStringLiteral("alice") : QString());
    QCOMPARE(common->proxy.password(), authenticate ? QStringLiteral("pä55") : QString());
    QCOMPARE(QSettings().contains("Startup/ProxyPassword"), authenticate);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
