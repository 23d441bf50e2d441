#include "updaterequest.h"

#include "core/console.h"
#include "core/localfile.h"
#include "core/logger.h"
#include "listcache.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QNetworkAccessManager>
#include <QNetworkRequest>

namespace {
constexpr qint64 readAheadBytes = 1024 * 1024;
} // namespace

UpdateRequest::UpdateRequest(const QString& address, RetrievalHost& retrievalHost)
    : host(retrievalHost), url(address), maxListBytes(retrievalHost.maxListBytes())
{
    manager = new QNetworkAccessManager;
    // Redirects are followed by hand, for 301, 302 and 307 only.
    manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    timer.setSingleShot(true);
    // A coarse timer may end an attempt early, a moment before the deadline.
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &UpdateRequest::onTimeout);
    connect(manager, &QNetworkAccessManager::sslErrors, this, &UpdateRequest::onSslErrors);
    connect(manager, &QNetworkAccessManager::proxyAuthenticationRequired, this,
            &UpdateRequest::onProxyAuthenticate);
    applyProxySettings();
}

UpdateRequest::~UpdateRequest()
{
    discardReply();
    if (cutOffUnfinishedReply)
        host.abandon(manager);
    else
        delete manager;
}

Result<void> UpdateRequest::fetch(const QDeadlineTimer& retrievalDeadline)
{
    if (attempt(retrievalDeadline))
        return {};
    return failure(attemptProblem());
}

bool UpdateRequest::attempt(const QDeadlineTimer& retrievalDeadline)
{
    if (!host.retrievalAllowed() || host.aborted())
        return false;
    deadline = retrievalDeadline;
    done = false;
    succeeded = false;
    failed = false;
    tooLarge = false;
    unchanged = false;
    receivedTag.clear();
    receivedModified.clear();
    certificateProblem.clear();
    problem.clear();
    whatFailed.clear();
    timedOut = false;
    redirectsFollowed = 0;
    qCInfo(lcUpdate).noquote() << QStringLiteral("Connecting to update server (%1)").arg(url);
    received.clear();
    discardReply();
    const QUrl address(url);
    if (address.isLocalFile())
        return readLocalList(address.toLocalFile());
    if (address.scheme().size() <= 1) // a path, absolute or relative ("C:" is a drive)
        return readLocalList(url);
    startReply(address);

    while (!done && !host.aborted())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (host.aborted()) {
        qCInfo(lcUpdate).noquote() << QStringLiteral("The retrieval is cancelled.");
        timer.stop();
        discardReply();
        return false;
    }
    return succeeded;
}

void UpdateRequest::startReply(const QUrl& target)
{
    QNetworkRequest request(target);
    if (!sentTag.isEmpty())
        request.setRawHeader("If-None-Match", sentTag);
    if (!sentModified.isEmpty())
        request.setRawHeader("If-Modified-Since", sentModified);
    reply = manager->get(request);
    // The network thread reads ahead only this far, so a large list is never
    // held twice while it arrives.
    reply->setReadBufferSize(readAheadBytes);
    connect(reply, &QNetworkReply::finished, this, &UpdateRequest::onFinished);
    connect(reply, &QNetworkReply::metaDataChanged, this, &UpdateRequest::onHeaders);
    connect(reply, &QNetworkReply::readyRead, this, &UpdateRequest::onReadyRead);
    connect(reply, &QNetworkReply::errorOccurred, this, &UpdateRequest::onError);
    startTimer();
}

// Each request may take the usual time, but never past the retrieval's deadline.
void UpdateRequest::startTimer()
{
    const qint64 left = deadline.remainingTime();
    const int timeoutMs = host.timeoutMs();
    timer.start(left < 0 ? timeoutMs : int(std::min<qint64>(timeoutMs, left)));
}

// A reply that no longer belongs to the attempt is cut off, so that it can
// never deliver text to, or end, a later attempt.
void UpdateRequest::discardReply()
{
    if (!reply)
        return;
    QNetworkReply* old = reply;
    reply = nullptr;
    disconnect(old, nullptr, this, nullptr);
    cutOffUnfinishedReply = cutOffUnfinishedReply || !old->isFinished();
    old->abort();
    old->deleteLater();
}

bool UpdateRequest::isCurrent(QObject* object) const
{
    return object && object == reply.data();
}

// The reply whose signal is being delivered, when this attempt should act on
// it now: not a reply of an earlier attempt, and not while the user is asked
// for proxy credentials (its end is then taken up after the answer).
QNetworkReply* UpdateRequest::replyToHandle()
{
    auto* source = qobject_cast<QNetworkReply*>(sender());
    if (!isCurrent(source))
        return nullptr;
    if (askingForCredentials) {
        replyEndedWhileAsking = true;
        return nullptr;
    }
    return source;
}

namespace {
bool isRedirect(int status)
{
    // 303 asks for a GET of the target, which is what every request here is.
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}
} // namespace

// Only a 200 answer is a list, and a 304 to a request that asked whether the
// kept one changed says it did not: any other ends the attempt as soon as its
// headers arrive, so its body, of whatever size or pace, is never read. A
// redirect is followed at once. Qt answers a proxy's or server's request for
// credentials itself.
void UpdateRequest::onHeaders()
{
    auto* source = qobject_cast<QNetworkReply*>(sender());
    const QVariant code =
        source ? source->attribute(QNetworkRequest::HttpStatusCodeAttribute) : QVariant();
    if (!isCurrent(source) || askingForCredentials || !code.isValid())
        return;
    const int status = code.toInt();
    if (status == 200) {
        keepValidators(*source);
        return;
    }
    if (status == 401 || status == 407)
        return;
    // Its end follows at once, as it has no body: the reply is let finish, so
    // that nothing is cut off under way.
    if (status == 304 && !(sentTag.isEmpty() && sentModified.isEmpty())) {
        qCInfo(lcUpdate).noquote() << QStringLiteral("The patch list has not changed.");
        unchanged = true;
        return;
    }
    const QString address = printable(source->url().toString());
    const QString reason =
        printable(source->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    if (isRedirect(status) &&
        !source->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl().isEmpty()) {
        followRedirect(source);
        return;
    }
    if (status >= 400)
        whatFailed = headingFor(source);
    const QString message = status >= 400 ? errorMessage(source)
                            : isRedirect(status)
                                ? tr("An error occurred: HTTP %1 %2 without a redirect target (%3)")
                                      .arg(QString::number(status), reason, address)
                                : tr("An error occurred: HTTP %1 %2 is no patch list (%3)")
                                      .arg(QString::number(status), reason, address);
    failAttempt(message);
}

void UpdateRequest::askIfChangedSince(const QByteArray& entityTag, const QByteArray& lastModified)
{
    sentTag = ListCache::isUsableValidator(entityTag) ? entityTag : QByteArray();
    sentModified = ListCache::isUsableValidator(lastModified) ? lastModified : QByteArray();
}

void UpdateRequest::keepValidators(const QNetworkReply& source)
{
    const QByteArray tag = source.rawHeader("ETag");
    const QByteArray modified = source.rawHeader("Last-Modified");
    receivedTag = ListCache::isUsableValidator(tag) ? tag : QByteArray();
    receivedModified = ListCache::isUsableValidator(modified) ? modified : QByteArray();
}

void UpdateRequest::onReadyRead()
{
    qCDebug(lcUpdate).noquote() << QStringLiteral("onReadyRead()");
    auto* source = qobject_cast<QNetworkReply*>(sender());
    if (!isCurrent(source))
        return;
    if (unchanged) { // nothing but the list is read
        (void)source->readAll();
        return;
    }
    // A list larger than the bound is refused as soon as that is known: by
    // the announced length, else as the count passes the bound.
    const qint64 announced = source->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > maxListBytes || received.size() + source->bytesAvailable() > maxListBytes) {
        refuseAsTooLarge();
        return;
    }
    // Kept as bytes, read as Latin-1 later; room for the announced length is
    // made once, so a large list is not copied again and again while it grows.
    if (received.isEmpty() && announced > 0)
        received.reserve(qsizetype(announced));
    received.append(source->readAll());
}

void UpdateRequest::onFinished()
{
    qCDebug(lcUpdate).noquote() << QStringLiteral("onFinished()");
    QNetworkReply* source = replyToHandle();
    if (!source)
        return;
    if (source->error() != QNetworkReply::NoError) {
        // An error page is no list, whatever it holds.
        received.clear();
        succeeded = unchanged = false;
    } else if (followRedirect(source)) {
        return;
    }
    endAttempt();
}

void UpdateRequest::endAttempt()
{
    discardReply();
    timer.stop();
    done = true;
    if (!received.isEmpty() || unchanged)
        succeeded = true;
}

// A list the user named as a file, for servers without Internet access: read
// as a received list would be, and only from a regular file.
bool UpdateRequest::readLocalList(const QString& fileName)
{
    const OpenedFile opened = openRegularFile(LocalPath(fileName), maxListBytes);
    if (!opened.ok() && opened.error().tooLarge)
        refuseAsTooLarge();
    else if (!opened.ok())
        failAttempt(tr("An error occurred: %1 cannot be read: %2.")
                        .arg(printable(fileName), opened.errorString()));
    else {
        received = opened.value()->read(maxListBytes + 1);
        if (received.size() > maxListBytes) // it grew since
            refuseAsTooLarge();
    }
    done = true;
    succeeded = !received.isEmpty();
    return succeeded;
}

void UpdateRequest::refuseAsTooLarge()
{
    tooLarge = true;
    failAttempt(tr("An error occurred: the patch list at %1 is larger than %2 MiB.")
                    .arg(url, QString::number(double(maxListBytes) / (1024 * 1024))));
}

bool UpdateRequest::followRedirect(QNetworkReply* source)
{
    if (!isRedirect(source->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt()))
        return false;
    timer.stop();
    if (++redirectsFollowed > maxRedirects) {
        failAttempt(tr("An error occurred: more than %1 redirects while fetching %2")
                        .arg(QString::number(maxRedirects), url));
        return true;
    }
    // A relative target ("/list.json", "//host/list.json") counts from where the
    // redirect came from.
    const QUrl targetUrl = source->url().resolved(
        source->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
    const QString target = targetUrl.toString();
    // Only to the web, and never from https down to http: a server must not
    // make the program read a local file, a share or a device.
    const QString scheme = targetUrl.scheme().toLower();
    const bool secure =
        source->url().scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    if (scheme != QLatin1String("https") && (scheme != QLatin1String("http") || secure)) {
        failAttempt(
            tr("An error occurred: the redirect to %1 was refused.").arg(printable(target)));
        return true;
    }
    // Whatever the redirecting response itself delivered is not part of the list.
    received.clear();
    discardReply();
    startReply(QUrl(target));
    qCInfo(lcUpdate).noquote() << QStringLiteral("Redirecting to %1").arg(target);
    return true;
}

// The reply is cut off before the message is shown: the desktop shows it in a
// dialog, and the reply must not go on meanwhile.
void UpdateRequest::failAttempt(const QString& message)
{
    discardReply();
    reportNetworkError(message);
    received.clear();
    timer.stop();
    succeeded = false;
    done = true;
}

void UpdateRequest::onTimeout()
{
    qCInfo(lcUpdate).noquote() << QStringLiteral("Timeout receiving patch data!");
    timedOut = true;
    // Part of a list is no list.
    received.clear();
    discardReply();
    done = true;
}
