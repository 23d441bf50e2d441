#include "proxychallenge.h"

#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>

namespace {
// A proxy's refusal is a status line and a few headers.
constexpr qsizetype maxHeadBytes = 16 * 1024;

int rankOf(const QByteArray& scheme)
{
    // Qt tries Negotiate only where the system can answer it without a
    // Kerberos realm of its own: on Windows, with the logged-on account.
#ifdef Q_OS_WIN
    constexpr bool negotiates = true;
#else
    constexpr bool negotiates = false;
#endif
    const QByteArray name = scheme.toLower();
    if (name == "basic")
        return 1;
    if (name == "ntlm")
        return 2;
    if (name == "digest")
        return 3;
    if (name == "negotiate")
        return negotiates ? 4 : 0;
    return -1;
}
} // namespace

QString preferredProxyScheme(const QByteArray& responseHead)
{
    QByteArray best;
    int bestRank = -1;
    for (const QByteArray& line : responseHead.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0 || line.left(colon).trimmed().toLower() != "proxy-authenticate")
            continue;
        const QByteArray scheme = line.mid(colon + 1).trimmed().split(' ').value(0);
        if (rankOf(scheme) > bestRank) {
            bestRank = rankOf(scheme);
            best = scheme;
        }
    }
    static const char* const names[] = {"Negotiate", "Basic", "NTLM", "Digest", "Negotiate"};
    return bestRank < 0 ? QString() : QLatin1String(names[bestRank]);
}

// Waits in an event loop of its own, so that whatever else this thread
// serves goes on meanwhile.
QString proxyChallengeScheme(const QNetworkProxy& proxy, const QUrl& target, int timeoutMs)
{
    QTcpSocket socket;
    socket.setProxy(QNetworkProxy::NoProxy);
    const bool secure = target.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    const QByteArray authority = target.host(QUrl::FullyEncoded).toLatin1() + ':' +
                                 QByteArray::number(target.port(secure ? 443 : 80));
    QByteArray head;
    QEventLoop loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QTcpSocket::connected, &loop, [&] {
        socket.write(secure
                         ? "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n\r\n"
                         : "HEAD " + target.toEncoded() + " HTTP/1.1\r\nHost: " + authority +
                               "\r\nConnection: close\r\n\r\n");
    });
    QObject::connect(&socket, &QTcpSocket::readyRead, &loop, [&] {
        head += socket.read(maxHeadBytes - head.size());
        if (head.contains("\r\n\r\n") || head.size() >= maxHeadBytes)
            loop.quit();
    });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    socket.connectToHost(proxy.hostName(), proxy.port());
    if (socket.state() != QAbstractSocket::UnconnectedState)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    socket.abort();
    return preferredProxyScheme(head.left(head.indexOf("\r\n\r\n")));
}
