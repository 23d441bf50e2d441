#include "squidproxy.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace {
quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(contents);
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return true;
}

const char* const squidProgram = "/usr/sbin/squid";
const char* const basicAuthHelper = "/usr/lib/squid/basic_ncsa_auth";
} // namespace

SquidProxy::SquidProxy(const QString& user, const QString& password)
    : user(user), password(password)
{
}

SquidProxy::~SquidProxy()
{
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(2000);
        }
    }
}

QString SquidProxy::start()
{
    if (!QFile::exists(QLatin1String(squidProgram)) ||
        !QFile::exists(QLatin1String(basicAuthHelper)))
        return QStringLiteral("squid is not installed (run scripts/setup.sh)");
    const QString htpasswd = QStandardPaths::findExecutable(QStringLiteral("htpasswd"));
    if (htpasswd.isEmpty())
        return QStringLiteral("htpasswd is not installed (run scripts/setup.sh)");
    if (!directory.isValid())
        return QStringLiteral("no temporary folder");
    // squid drops to its own user; it must be able to read and write here.
    QFile::setPermissions(directory.path(), QFile::Permissions(0x7777));

    const QString dir = directory.path();
    const QString passwordFile = dir + QStringLiteral("/passwd");
    QProcess hash;
    hash.start(htpasswd, {QStringLiteral("-b"), QStringLiteral("-c"), QStringLiteral("-d"),
                          passwordFile, user, password});
    if (!hash.waitForFinished(10000) || hash.exitCode() != 0)
        return QStringLiteral("htpasswd failed: ") +
               QString::fromLocal8Bit(hash.readAllStandardError());
    QFile::setPermissions(passwordFile, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);

    listenPort = freePort();
    const QByteArray config = QStringLiteral("http_port 127.0.0.1:%1\n"
                                             "visible_hostname skyvane-test-proxy\n"
                                             "pid_filename %2/squid.pid\n"
                                             "cache_log %2/cache.log\n"
                                             "access_log %2/access.log\n"
                                             "coredump_dir %2\n"
                                             "cache deny all\n"
                                             "pinger_enable off\n"
                                             "shutdown_lifetime 0 seconds\n"
                                             "auth_param basic program %3 %4\n"
                                             "auth_param basic realm skyvane-test\n"
                                             "acl authenticated proxy_auth REQUIRED\n"
                                             "http_access allow authenticated\n"
                                             "http_access deny all\n")
                                  .arg(listenPort)
                                  .arg(dir, QLatin1String(basicAuthHelper), passwordFile)
                                  .toUtf8();
    const QString configFile = dir + QStringLiteral("/squid.conf");
    if (!writeFile(configFile, config))
        return QStringLiteral("cannot write the squid configuration");

    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QLatin1String(squidProgram),
                  {QStringLiteral("-N"), QStringLiteral("-f"), configFile});
    if (!process.waitForStarted(5000))
        return QStringLiteral("squid did not start");

    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (process.state() == QProcess::NotRunning)
            return QStringLiteral("squid ended: ") + QString::fromLocal8Bit(process.readAll());
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, listenPort);
        if (probe.waitForConnected(200))
            return QString();
        QThread::msleep(100);
    }
    return QStringLiteral("squid did not open its port");
}
