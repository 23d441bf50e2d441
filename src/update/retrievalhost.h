#pragma once

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QString>

#include <optional>

// What a retrieval of the patch list needs from the program around it: its
// limits, the user's answers, and where its progress and failures go. The
// console run and the desktop each supply one; the retrieval never opens a
// window or sets the run's status itself.
class RetrievalHost
{
public:
    static constexpr int defaultTimeoutMs = 15000;
    // A real list is a few hundred kilobytes; a larger answer is refused.
    static constexpr qint64 defaultMaxListBytes = 32 * 1024 * 1024;

    virtual ~RetrievalHost() = default;

    // The user has closed the window the retrieval belongs to: a request under
    // way ends at once, and no other is sent.
    void abort() { abortRequested = true; }
    bool aborted() const { return abortRequested; }

    // False once the run has given up on the network (a machine found
    // offline, an earlier failed retrieval): no request is sent.
    virtual bool retrievalAllowed() const = 0;
    virtual int timeoutMs() const { return defaultTimeoutMs; }
    virtual qint64 maxListBytes() const { return defaultMaxListBytes; }

    // The proxy the user chose; nothing for a direct connection. With the
    // system's proxy, only its credentials count.
    virtual std::optional<QNetworkProxy> proxy() const = 0;
    // Whether each request takes the proxy the system names for its address
    // (WinHTTP settings, PAC and WPAD on Windows; http_proxy, https_proxy and
    // no_proxy elsewhere).
    virtual bool usesSystemProxy() const { return false; }
    // The credentials the user gave for the proxy, to keep for later runs.
    virtual void keepProxyCredentials(const QNetworkProxy& proxy) = 0;

    // Whether someone is there to answer: the desktop asks, a console run cannot.
    virtual bool asksUser() const = 0;
    // A proxy is to be used but has no address yet: the user may give one.
    virtual void editProxySettings() {}
    // The proxy's credentials for the scheme it asked for ("NTLM"; empty when
    // it did not say); nothing when the user cancels.
    virtual std::optional<QNetworkProxy> askProxyCredentials(const QNetworkProxy&,
                                                             const QString& /*scheme*/)
    {
        return std::nullopt;
    }
    // A notice the user reads, such as the proxy asking for credentials.
    virtual void inform(const QString& title, const QString& text) = 0;

    virtual void attemptStarted(int /*attempt*/, int /*attempts*/, const QString& /*url*/) {}
    virtual void attemptFailed(int /*attempt*/, int /*attempts*/, const QString& /*reason*/) {}
    // A failure of the retrieval, with the reason; the run fails with it.
    virtual void failed(const QString& title, const QString& message) = 0;
    // The retrieval ended without a list, said or not (time-outs are silent).
    virtual void gaveUp() = 0;
    // The network access of a retrieval that cut off a reply still under way:
    // its thread may be busy with that reply (a server sending headers without
    // end) or a name lookup that cannot be stopped, and deleting it waits for
    // that thread for up to five seconds. The host may end its process
    // without that wait instead.
    virtual void abandon(QNetworkAccessManager* network) { delete network; }

private:
    bool abortRequested = false;
};
