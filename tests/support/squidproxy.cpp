#include "squidproxy.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

SquidProxy::SquidProxy(const QString& user, const QString& password)
{
    {
        QTcpServer probe; // a port that is free now
        probe.listen(QHostAddress::LocalHost);
        listenPort = probe.serverPort();
    }
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(SKYVANE_TEST_SUPPORT "/squid.sh"),
                  {directory.path(), QString::number(listenPort), user, password});
    const bool listening = QTest::qWaitFor(
        [this] {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, listenPort);
            return socket.waitForConnected(100) || process.state() == QProcess::NotRunning;
        },
        20000);
    if (!listening || process.state() == QProcess::NotRunning)
        failure =
            QStringLiteral("squid did not start: ") + QString::fromLocal8Bit(process.readAll());
}

SquidProxy::~SquidProxy()
{
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished();
}
