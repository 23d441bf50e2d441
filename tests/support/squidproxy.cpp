#include "squidproxy.h"

#include <QTcpServer>

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
    const QByteArray said = process.waitForReadyRead(20000) ? process.readAll() : QByteArray();
    if (!said.startsWith("ready"))
        failure = QStringLiteral("squid did not start: ") + QString::fromLocal8Bit(said);
}

SquidProxy::~SquidProxy()
{
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished();
}
