#include "patchserver.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {
// The entity tag of a list: its bytes' hash, so a changed list has another.
QByteArray entityTagOf(const QByteArray& body)
{
    return '"' + QCryptographicHash::hash(body, QCryptographicHash::Sha1).toHex().left(16) + '"';
}

QByteArray headerValue(const QByteArray& request, const QByteArray& name)
{
    for (const QByteArray& line : request.split('\n')) {
        if (line.toLower().startsWith(name.toLower() + ':'))
            return line.mid(name.size() + 1).trimmed();
    }
    return {};
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 304:
        return "Not Modified";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    case 206:
        return "Partial Content";
    case 300:
        return "Multiple Choices";
    }
    return "Status";
}
} // namespace

PatchServer::PatchServer(QObject* parent) : QObject(parent) {}

PatchServer::~PatchServer() = default;

bool PatchServer::listen(quint16 port)
{
    server = new QTcpServer(this);
    connect(server, &QTcpServer::pendingConnectionAvailable, this, &PatchServer::onNewConnection);
    return server->listen(QHostAddress::LocalHost, port);
}

bool PatchServer::listenTls(const QString& certificateFile, const QString& keyFile, quint16 port)
{
    QFile certFile(certificateFile);
    QFile keyData(keyFile);
    if (!certFile.open(QIODevice::ReadOnly) || !keyData.open(QIODevice::ReadOnly))
        return false;
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(QSslCertificate(certFile.readAll(), QSsl::Pem));
    configuration.setPrivateKey(QSslKey(keyData.readAll(), QSsl::Rsa, QSsl::Pem));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    auto* sslServer = new QSslServer(this);
    sslServer->setSslConfiguration(configuration);
    server = sslServer;
    tls = true;
    connect(server, &QTcpServer::pendingConnectionAvailable, this, &PatchServer::onNewConnection);
    return server->listen(QHostAddress::LocalHost, port);
}

quint16 PatchServer::port() const
{
    return server ? server->serverPort() : 0;
}

QString PatchServer::url(const QString& path) const
{
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(tls ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(port())
        .arg(path);
}

void PatchServer::setResponse(const QString& path, const Response& response)
{
    responses.insert(path, response);
}

void PatchServer::serveDirectory(const QString& dir)
{
    directory = dir;
}

void PatchServer::onNewConnection()
{
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] { pending.remove(socket); });
    }
}

PatchServer::Response PatchServer::responseFor(const QString& path) const
{
    const auto it = responses.constFind(path);
    if (it != responses.constEnd())
        return it.value();
    if (!directory.isEmpty() && !path.contains(QLatin1String(".."))) {
        QFile file(directory + path);
        if (file.open(QIODevice::ReadOnly)) {
            Response response;
            response.body = file.readAll();
            return response;
        }
    }
    Response notFound;
    notFound.status = 404;
    notFound.body = "Not found";
    return notFound;
}

void PatchServer::onReadyRead(QTcpSocket* socket)
{
    QByteArray& buffer = pending[socket];
    buffer += socket->readAll();
    if (!buffer.contains("\r\n\r\n"))
        return;
    const QByteArray request = buffer;
    const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
    buffer.clear();
    if (!proxyScheme.isEmpty() && !authenticated(socket, request))
        return;
    QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine.at(1)) : QString();
    // A request through a proxy carries the whole URL.
    if (path.startsWith(QLatin1String("http")))
        path = QUrl(path).path();
    counts[path] += 1;
    paths << path;

    Response response = responseFor(path);
    if (response.silent)
        return;
    // A list the client already holds is not sent again.
    if (response.status == 200 && !response.body.isEmpty() &&
        headerValue(request, "If-None-Match") == entityTagOf(response.body)) {
        unchanged[path] += 1;
        response = Response::with(304);
    }
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(response.delayMs, this, [this, guarded, response] {
        if (guarded)
            respond(guarded, response);
    });
}

// Answers a request without acceptable proxy credentials with 407, keeping
// the connection for the NTLM handshake; true when the credentials are taken.
bool PatchServer::authenticated(QTcpSocket* socket, const QByteArray& request)
{
    QByteArray token;
    for (const QByteArray& line : request.split('\n')) {
        if (line.toLower().startsWith("proxy-authorization: " + proxyScheme.toLower() + ' '))
            token = QByteArray::fromBase64(line.trimmed().mid(22 + proxyScheme.size()));
    }
    const bool ntlm = proxyScheme == "NTLM" && token.startsWith(QByteArray("NTLMSSP\0", 8));
    if (ntlm && token.size() > 8 && token.at(8) == 3) {
        const QByteArray user(reinterpret_cast<const char*>(proxyUser.utf16()),
                              proxyUser.size() * 2);
        return token.contains(user);
    }
    QByteArray challenge = proxyScheme;
    if (ntlm && token.size() > 8 && token.at(8) == 1)
        // A challenge of 48 bytes, with an empty target information block.
        challenge += ' ' + QByteArray::fromHex("4e544c4d535350000200000000000000300000000582890a"
                                               "0123456789abcdef00000000000000000000000030000000")
                               .toBase64();
    socket->write("HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: " + challenge +
                  "\r\nContent-Length: 0\r\n\r\n");
    return false;
}

// Keeps four megabytes of header lines queued until the client hangs up.
void PatchServer::floodHeaders(QTcpSocket* socket)
{
    const QByteArray lines =
        QByteArray("X-Filler: ").append(100, 'a').append("\r\n").repeated(1000);
    const auto refill = [socket, lines] {
        while (socket->state() == QAbstractSocket::ConnectedState &&
               socket->bytesToWrite() < 4 * 1024 * 1024)
            socket->write(lines);
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, refill);
    refill();
}

void PatchServer::respond(QTcpSocket* socket, const Response& response)
{
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
        (response.reason.isEmpty() ? reasonPhrase(response.status) : response.reason) + "\r\n";
    if (response.floodHeaders) {
        socket->write(head);
        floodHeaders(socket);
        return;
    }
    head += "Content-Type: application/json\r\n";
    if (response.status == 200 && !response.body.isEmpty())
        head += "ETag: " + entityTagOf(response.body) + "\r\n";
    if (response.announceLength)
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    if (!response.location.isEmpty())
        head += "Location: " + response.location + "\r\n";
    if (!response.encoding.isEmpty())
        head += "Content-Encoding: " + response.encoding + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);
    if (response.trickleChunkMs <= 0) {
        socket->write(response.body);
        socket->disconnectFromHost();
        return;
    }
    auto* timer = new QTimer(socket);
    auto offset = std::make_shared<qsizetype>(0);
    const QByteArray body = response.body;
    connect(timer, &QTimer::timeout, socket, [socket, timer, offset, body] {
        if (*offset >= body.size()) {
            timer->stop();
            socket->disconnectFromHost();
            return;
        }
        socket->write(body.mid(*offset, 1));
        ++*offset;
    });
    timer->start(response.trickleChunkMs);
}
