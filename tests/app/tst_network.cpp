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
    }
};

QTEST_GUILESS_MAIN(TestNetwork)
#include "tst_network.moc"
