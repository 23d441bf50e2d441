#include "app/common.h"
#include "app/settingsscrambler.h"

#include "testsettings.h"
#include <QRandomGenerator>
#include <QRegularExpression>
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
    void scrambleManyRandomTexts();
    void freshStoreGivesDefaults();
    void savedValuesReadBack();
    void credentialsOnlyWithAuthentication();
    void emptyPassword();
    void unwritableStoreSetsStatus2();
    void statusMessages_data();
    void statusMessages();

private:
    static QString randomText(QRandomGenerator& random)
    {
        static const QString pool = QStringLiteral("abcXYZ019 :@/%äöüßé€漢字\U0001F600");
        QString text;
        const int length = int(random.bounded(24));
        for (int i = 0; i < length; ++i) {
            const int index = int(random.bounded(pool.size()));
            // Never split the surrogate pair at the end of the pool.
            if (pool.at(index).isSurrogate())
                text += QStringLiteral("\U0001F600");
            else
                text += pool.at(index);
        }
        return text;
    }
};

void TestSettings::scrambleRoundTrip_data()
{
    QTest::addColumn<QString>("plain");
    QTest::newRow("ascii") << "pa55";
    QTest::newRow("umlauts") << "Grüße";
    QTest::newRow("emoji") << "\U0001F600x";
    QTest::newRow("one char") << "x";
    QTest::newRow("long") << QString(200, QLatin1Char('q'));
}

void TestSettings::scrambleRoundTrip()
{
    QFETCH(QString, plain);
    SettingsScrambler scrambler(47265183);
    const QString hex = scrambler.scramble(plain);
    QCOMPARE(hex.size(), 2 * plain.toUtf8().size() + 2);
    QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]+$")).match(hex).hasMatch());
    QCOMPARE(scrambler.unscramble(hex), plain);
}

void TestSettings::scrambleManyRandomTexts()
{
    SettingsScrambler scrambler(47265183);
    QRandomGenerator random(20261206);
    for (int i = 0; i < 2000; ++i) {
        const QString plain = randomText(random);
        const QString hex = scrambler.scramble(plain);
        QCOMPARE(hex.size(), plain.isEmpty() ? 0 : 2 * plain.toUtf8().size() + 2);
        QCOMPARE(scrambler.unscramble(hex), plain);
    }
    QVERIFY(scrambler.scramble(QString()).isNull());
    QVERIFY(scrambler.unscramble(QString()).isNull());
}

void TestSettings::freshStoreGivesDefaults()
{
    Common* common = Common::instance();
    common->readSettings();
    QCOMPARE(common->useProxyServer, false);
    QCOMPARE(common->useProxyAuthentication, false);
    QCOMPARE(common->checkAtLogin, false);
    QCOMPARE(common->proxy().hostName(), QString());
    QCOMPARE(common->proxy().port(), quint16(0));
    QCOMPARE(common->proxy().type(), QNetworkProxy::HttpProxy);
    QCOMPARE(common->status, int(NoError));
    QCOMPARE(common->patchListUrl(),
             QStringLiteral("http://downloads.vandry.com/sky_vane/patches.json"));
    QCOMPARE(common->title(), QStringLiteral("Quorix Server and Extensions Sky Vane"));
}

void TestSettings::savedValuesReadBack()
{
    Common* common = Common::instance();
    common->useProxyServer = true;
    common->useProxyAuthentication = true;
    common->checkAtLogin = true;
    common->manualProxy =
        QNetworkProxy(QNetworkProxy::HttpProxy, "proxy.example.com", 3128, "alice", "pä55");
    common->saveSettings();
    QCOMPARE(common->status, int(NoError));

    QSettings store;
    QCOMPARE(store.value("Startup/ProxyPassword").toString().size(), 2 * 5 + 2);
    QVERIFY(store.value("Startup/ProxyPassword").toString() != QStringLiteral("pä55"));

    common->resetForTesting();
    common->readSettings();
    QCOMPARE(common->useProxyServer, true);
    QCOMPARE(common->checkAtLogin, true);
    QCOMPARE(common->proxy().hostName(), QStringLiteral("proxy.example.com"));
    QCOMPARE(common->proxy().port(), quint16(3128));
    QCOMPARE(common->proxy().user(), QStringLiteral("alice"));
    QCOMPARE(common->proxy().password(), QStringLiteral("pä55"));
}

void TestSettings::credentialsOnlyWithAuthentication()
{
    {
        QSettings store;
        store.setValue("Startup/ProxyUsername", "earlier");
        store.setValue("Startup/ProxyPassword", "0011");
    }
    Common* common = Common::instance();
    common->useProxyAuthentication = false;
    common->manualProxy = QNetworkProxy(QNetworkProxy::HttpProxy, "h", 8080, "bob", "secret");
    common->saveSettings();

    QSettings store;
    QCOMPARE(store.value("Startup/ProxyUsername").toString(), QStringLiteral("earlier"));
    QCOMPARE(store.value("Startup/ProxyPassword").toString(), QStringLiteral("0011"));

    common->resetForTesting();
    common->readSettings();
    QCOMPARE(common->proxy().user(), QString());
    QCOMPARE(common->proxy().password(), QString());
    QCOMPARE(common->proxy().port(), quint16(8080));
}

void TestSettings::emptyPassword()
{
    Common* common = Common::instance();
    common->useProxyAuthentication = true;
    common->manualProxy = QNetworkProxy(QNetworkProxy::HttpProxy, "h", 1, "u", QString());
    common->saveSettings();
    QCOMPARE(QSettings().value("Startup/ProxyPassword").toString(), QString());
    common->resetForTesting();
    common->readSettings();
    QCOMPARE(common->proxy().password(), QString());
    QCOMPARE(common->proxy().user(), QStringLiteral("u"));
}

void TestSettings::unwritableStoreSetsStatus2()
{
    // A file where the organisation folder belongs makes the store unwritable,
    // even for root.
    const QString fileName = QSettings().fileName();
    const QString folder = QFileInfo(fileName).absolutePath();
    QDir(folder).removeRecursively();
    QDir().mkpath(QFileInfo(folder).absolutePath());
    {
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    Common::instance()->saveSettings();
    QFile::remove(folder);
    QCOMPARE(Common::instance()->status, int(SettingsWriteError));
}

void TestSettings::statusMessages_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("0") << 0 << "No Error";
    QTest::newRow("1") << 1 << "Error reading system configuration";
    QTest::newRow("2") << 2 << "Error writing settings.";
    QTest::newRow("3") << 3 << "Network connection error.";
    QTest::newRow("4") << 4 << "A server authentication error occurred.";
    QTest::newRow("5") << 5 << "";
    QTest::newRow("-1") << -1 << "";
}

void TestSettings::statusMessages()
{
    QFETCH(int, status);
    QFETCH(QString, message);
    Common::instance()->status = status;
    QCOMPARE(Common::instance()->statusMessage(), message);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
