#pragma once

#include "app/runretrieval.h"

#include <QCoreApplication>

#include <functional>

// A retrieval on the desktop: the user is asked for a proxy's address and
// credentials when they are needed, and sees which attempt is under way, to
// which address, and why the last one failed.
class DesktopRetrievalHost : public RunRetrievalHost
{
    Q_DECLARE_TR_FUNCTIONS(DesktopRetrievalHost)

public:
    using RunRetrievalHost::RunRetrievalHost;

    // Called with the text of the progress whenever it changes.
    std::function<void(const QString&)> showProgress;

    bool asksUser() const override { return true; }
    void editProxySettings() override;
    std::optional<QNetworkProxy> askProxyCredentials(const QNetworkProxy& proxy,
                                                     const QString& scheme) override;
    void attemptStarted(int attempt, int attempts, const QString& url) override;
    void attemptFailed(int attempt, int attempts, const QString& reason) override;
    void failed(const QString& title, const QString& message) override;

private:
    void show();

    QString current;
    QString lastReason;
};
