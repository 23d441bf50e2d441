#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

class QTcpServer;
class QTcpSocket;

// A small HTTP/1.1 server on loopback for tests and the demo. Each path can
// answer with a file's bytes, a status code, a redirect, after a delay, in a
// trickle, or not at all; optionally over TLS with a self-signed certificate.
class PatchServer : public QObject
{
    Q_OBJECT

public:
    struct Response
    {
        int status = 200;
        QByteArray body;
        QByteArray location;        // sent as "Location" when not empty
        int delayMs = 0;            // before the response starts
        int trickleChunkMs = 0;     // when set, the body goes out one byte per interval
        bool silent = false;        // accept the request and never answer
        bool announceLength = true; // send "Content-Length"
        QByteArray reason;          // instead of the usual reason phrase
        QByteArray encoding;        // sent as "Content-Encoding" when not empty
        bool floodHeaders = false;  // header lines without end, as fast as they are taken

        static Response with(int status, const QByteArray& body = {},
                             const QByteArray& location = {})
        {
            Response response;
            response.status = status;
            response.body = body;
            response.location = location;
            return response;
        }
        Response silently() const
        {
            return changed([](Response& r) { r.silent = true; });
        }
        Response trickled(int ms) const
        {
            return changed([ms](Response& r) { r.trickleChunkMs = ms; });
        }
        Response withoutLength() const
        {
            return changed([](Response& r) { r.announceLength = false; });
        }
        Response withReason(const QByteArray& text) const
        {
            return changed([text](Response& r) { r.reason = text; });
        }
        Response floodingHeaders() const
        {
            return changed([](Response& r) { r.floodHeaders = true; });
        }
        Response encodedAs(const QByteArray& name) const
        {
            return changed([name](Response& r) { r.encoding = name; });
        }

    private:
        template <typename Change> Response changed(Change change) const
        {
            Response copy = *this;
            change(copy);
            return copy;
        }
    };

    explicit PatchServer(QObject* parent = nullptr);
    ~PatchServer() override;

    // Listens on 127.0.0.1; port 0 picks a free port.
    bool listen(quint16 port = 0);
    // TLS with the certificate and key files given (PEM).
    bool listenTls(const QString& certificateFile, const QString& keyFile, quint16 port = 0);
    quint16 port() const;
    QString url(const QString& path) const;

    void setResponse(const QString& path, const Response& response);
    // Paths without a response of their own are looked up as files below this folder.
    void serveDirectory(const QString& directory);

    // As a proxy, asks for "NTLM" (answered with a challenge, and taken from
    // the client that names the user in its answer, as a test needs it) or
    // "Negotiate" (never taken: no Kerberos here) before it serves anything.
    void demandProxyAuthentication(const QByteArray& scheme, const QString& user = {})
    {
        proxyScheme = scheme;
        proxyUser = user;
    }

    // Every list sent carries an entity tag; a request that names it is
    // answered 304 Not Modified, without the list.
    int requestCount(const QString& path) const { return counts.value(path); }
    int unchangedCount(const QString& path) const { return unchanged.value(path); }
    QStringList requestedPaths() const { return paths; }

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const Response& response);
    void floodHeaders(QTcpSocket* socket);
    Response responseFor(const QString& path) const;
    bool authenticated(QTcpSocket* socket, const QByteArray& request);

    QTcpServer* server = nullptr;
    bool tls = false;
    QHash<QString, Response> responses;
    QString directory;
    QHash<QString, int> counts;
    QHash<QString, int> unchanged;
    QStringList paths;
    QHash<QTcpSocket*, QByteArray> pending;
    QByteArray proxyScheme;
    QString proxyUser;
};
