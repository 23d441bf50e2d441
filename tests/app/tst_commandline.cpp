#include "app/commandline.h"
#include "app/common.h"
#include "app/console.h"
#include "logcapture.h"

#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void init() { setConsoleCapture(&output); }
    void cleanup()
    {
        setConsoleCapture(nullptr);
        output.clear();
        Common::instance()->resetForTesting();
    }

    void hasSwitch_data();
    void hasSwitch();
    void switchValue_data();
    void switchValue();
    void usageText();
    void argumentLog_data();
    void argumentLog();
    void proxyListing_data();
    void proxyListing();

private:
    QString output;
};

void TestCommandLine::hasSwitch_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("expected");

    QTest::newRow("slash") << QStringList{"/c"} << "C" << true;
    QTest::newRow("hyphen upper") << QStringList{"-C"} << "C" << true;
    QTest::newRow("bare") << QStringList{"c"} << "C" << true;
    QTest::newRow("double slash") << QStringList{"//c"} << "C" << false;
    QTest::newRow("longer") << QStringList{"/cc"} << "C" << false;
    QTest::newRow("h? is not h") << QStringList{"/h?"} << "H" << false;
    QTest::newRow("h? is not ?") << QStringList{"/h?"} << "?" << false;
    QTest::newRow("question mark") << QStringList{"/?"} << "?" << true;
    QTest::newRow("later argument") << QStringList{"/v", "2", "-i"} << "I" << true;
    QTest::newRow("program name ignored") << QStringList{} << "skyvane" << false;
    QTest::newRow("value counts too") << QStringList{"/p", "/c"} << "C" << true;
}

void TestCommandLine::hasSwitch()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, name);
    QFETCH(bool, expected);
    setProcessArguments(QStringList{"skyvane"} + arguments);
    QCOMPARE(::hasSwitch(name), expected);
}

void TestCommandLine::switchValue_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("valueIsNull");

    QTest::newRow("value follows")
        << QStringList{"/p", "http://h:1"} << true << "http://h:1" << false;
    QTest::newRow("last argument") << QStringList{"/c", "/p"} << true << QString() << true;
    QTest::newRow("switch as value") << QStringList{"/p", "/c"} << true << "/c" << false;
    QTest::newRow("first match wins") << QStringList{"-P", "a", "/p", "b"} << true << "a" << false;
    QTest::newRow("absent") << QStringList{"/c"} << false << "unchanged" << false;
}

void TestCommandLine::switchValue()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, found);
    QFETCH(QString, value);
    QFETCH(bool, valueIsNull);
    setProcessArguments(QStringList{"skyvane"} + arguments);
    QString actual = QStringLiteral("unchanged");
    QCOMPARE(::switchValue(QStringLiteral("P"), actual), found);
    QCOMPARE(actual, value);
    QCOMPARE(actual.isNull(), valueIsNull);
}

void TestCommandLine::usageText()
{
    printUsage();
    QFile expected(QStringLiteral(SKYVANE_TEST_DATA "/usage.txt"));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    QCOMPARE(output, QString::fromUtf8(expected.readAll()));
}

void TestCommandLine::argumentLog_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("none") << QStringList{}
                          << QStringList{"Info: Program arguments:", "Info:   (none)"};
    QTest::newRow("two") << QStringList{"/c", "/v"}
                         << QStringList{"Info: Program arguments:", "Info:   1 - /c",
                                        "Info:   2 - /v"};
    QTest::newRow("percent kept") << QStringList{"%1"}
                                  << QStringList{"Info: Program arguments:", "Info:   1 - %1"};
}

void TestCommandLine::argumentLog()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, expected);
    LogCapture log(1);
    setProcessArguments(QStringList{"skyvane"} + arguments);
    logProgramArguments();
    QCOMPARE(log.lines(), expected);
}

void TestCommandLine::proxyListing_data()
{
    QTest::addColumn<bool>("useProxy");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("expectedPort");

    QTest::newRow("saved proxy") << true << "proxy.example.com" << 3128 << "3128";
    QTest::newRow("port zero") << false << "" << 0 << "N/A";
}

void TestCommandLine::proxyListing()
{
    QFETCH(bool, useProxy);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, expectedPort);
    Common* common = Common::instance();
    common->useProxyServer = useProxy;
    common->manualProxy = QNetworkProxy(QNetworkProxy::HttpProxy, host, quint16(port),
                                        QStringLiteral("alice"), QStringLiteral("pä55"));
    printProxySettings();
    QCOMPARE(output, QStringLiteral("Proxy settings:\n"
                                    "  Use proxy server: %1\n"
                                    "  Proxy host: %2\n"
                                    "  Proxy port: %3\n"
                                    "  Proxy username: alice\n"
                                    "  Proxy password: pä55\n")
                         .arg(useProxy ? "true" : "false", host, expectedPort));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
