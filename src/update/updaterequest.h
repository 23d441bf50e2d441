#pragma once

#include "core/result.h"
#include "retrievalhost.h"

#include <QDeadlineTimer>
#include <QList>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QSslError>
#include <QString>
#include <QTimer>

class QAuthenticator;
class QNetworkAccessManager;

// "proxy.example.com:3128", or "none (a direct connection)": the proxy the
// system names for an address, as /s shows it.
QString systemProxyFor(const QString& url);
QString systemProxyText(const QNetworkProxy& proxy);

// One HTTP GET of the patch list, run synchronously for its caller: fetch()
// keeps the event loop turning until the attempt has finished, failed or
// timed out.
class UpdateRequest : public QObject
{
    Q_OBJECT

public:
    UpdateRequest(const QString& url, RetrievalHost& host);
    ~UpdateRequest() override;

    // Sends the request and waits for the attempt's end, at the latest at the
    // deadline of the whole retrieval; it fails with why the attempt brought
    // no list, in the user's language.
    Result<void>
    fetch(const QDeadlineTimer& retrievalDeadline = QDeadlineTimer(QDeadlineTimer::Forever));
    // Whether the last attempt failed in a way another attempt cannot mend
    // (an HTTP or network error, a refused certificate or redirect, a list
    // too large); time-outs and empty answers are worth another attempt.
    bool failedForGood() const { return failed; }
    // What made the last attempt fail, as a heading: the server's HTTP error,
    // its certificate, the proxy or the network; empty where nothing says.
    QString failureHeading() const { return whatFailed; }
    bool attemptTimedOut() const { return timedOut; }
    // The bytes received by the last attempt; they read as Latin-1 text.
    QByteArray receivedBytes() const { return received; }
    // Whether the last attempt was refused for the list's size.
    bool refusedAsTooLarge() const { return tooLarge; }

    // Later attempts ask the server to send the list only when it differs
    // from the one these validators came with; one that has not changed
    // succeeds without bytes.
    void askIfChangedSince(const QByteArray& entityTag, const QByteArray& lastModified);
    bool answeredUnchanged() const { return unchanged; }
    // The validators the server sent with the list received, where usable.
    QByteArray receivedEntityTag() const { return receivedTag; }
    QByteArray receivedLastModified() const { return receivedModified; }

    static constexpr int maxRedirects = 10;

private slots:
    void onFinished();
    void onReadyRead();
    void onHeaders();
    void onTimeout();
    void onSslErrors(QNetworkReply* reply, const QList<QSslError>& errors);
    void onProxyAuthenticate(const QNetworkProxy& proxy, QAuthenticator* authenticator);
    void onError(QNetworkReply::NetworkError code);

private:
    bool attempt(const QDeadlineTimer& retrievalDeadline);
    QString attemptProblem() const;
    void applyProxySettings();
    bool followRedirect(QNetworkReply* reply);
    void keepValidators(const QNetworkReply& source);
    bool readLocalList(const QString& fileName);
    void refuseAsTooLarge();
    void startReply(const QUrl& target);
    void startTimer();
    void discardReply();
    void endAttempt();
    void failAttempt(const QString& message);
    bool isCurrent(QObject* object) const;
    QNetworkReply* replyToHandle();
    QString errorMessage(QNetworkReply* source) const;
    QString headingFor(QNetworkReply* source) const;
    void reportNetworkError(const QString& message);

    RetrievalHost& host;
    QNetworkAccessManager* manager = nullptr;
    QTimer timer;
    QByteArray received;
    QString url;
    qint64 maxListBytes;
    bool done = false;
    bool succeeded = false;
    bool tooLarge = false;
    bool failed = false;
    bool unchanged = false;
    QByteArray sentTag, sentModified;
    QByteArray receivedTag, receivedModified;
    QString certificateProblem;
    QString problem; // the failure of the attempt, or empty
    QString whatFailed;
    bool timedOut = false;
    QDeadlineTimer deadline;
    QPointer<QNetworkReply> reply;
    int redirectsFollowed = 0;
    bool askingForCredentials = false;
    bool savedCredentialsGiven = false; // to the proxy's first challenge
    bool replyEndedWhileAsking = false;
    bool cutOffUnfinishedReply = false;
};
