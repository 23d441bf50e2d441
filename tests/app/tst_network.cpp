#include "app/network.h"

#include <QtTest>

class TestNetwork : public QObject
{
    Q_OBJECT

private slots:
    void parseProxyUrl_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("userPasswordHostPort");
        QTest::newRow("everything") << "http://al:pw@proxy:3128"
                                    << "al pw proxy 3128";
        QTest::newRow("port defaults to 80") << "proxy"
                                             << "  proxy 80";
        QTest::newRow("parts taken by position") << "http://user@host:3128"
                                                 << "user host 3128 80";
        QTest::newRow("impossible port") << "HTTP://proxy:8080"
                                         << "  HTTP 0";
    }
    void parseProxyUrl()
    {
        QFETCH(QString, text);
        QFETCH(QString, userPasswordHostPort);
        const QNetworkProxy proxy = ::parseProxyUrl(text);
        QCOMPARE(QStringList({proxy.user(), proxy.password(), proxy.hostName(),
                              QString::number(proxy.port())})
                     .join(' '),
                 userPasswordHostPort);
        QCOMPARE(proxy.type(), QNetworkProxy::HttpProxy);
    }

    void networkAvailable_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("available");
        const int upRunning = QNetworkInterface::IsUp | QNetworkInterface::IsRunning;
        QTest::newRow("up and running with an address") << upRunning << "192.0.2.7" << true;
        QTest::newRow("loopback") << (upRunning | QNetworkInterface::IsLoopBack) << "192.0.2.7"
                                  << false;
        QTest::newRow("not running") << int(QNetworkInterface::IsUp) << "192.0.2.7" << false;
        QTest::newRow("point to point")
            << (upRunning | QNetworkInterface::IsPointToPoint) << "192.0.2.7" << false;
        QTest::newRow("only loopback addresses") << upRunning << "::1" << false;
    }
    void networkAvailable()
    {
        QFETCH(int, flags);
        QFETCH(QString, address);
        QFETCH(bool, available);
        const InterfaceSnapshot interface {
            "eth0", "02:00:00:00:00:01", QNetworkInterface::InterfaceFlags(flags)
        };
        QCOMPARE(
            isNetworkAvailable({interface}, {QHostAddress("127.0.0.1"), QHostAddress(address)}),
            available);
    }
};

QTEST_GUILESS_MAIN(TestNetwork)
#include "tst_network.moc"
