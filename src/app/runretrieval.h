#pragma once

#include "core/common.h"
#include "update/retrievalhost.h"

// How a run takes part in a retrieval: a notice or failure is shown (a line
// on the console, a message box on the desktop) and logged, and a failure is
// the run's status, after which no further request is sent. Nobody is asked
// for anything; the desktop's host does that.
class RunRetrievalHost : public RetrievalHost
{
public:
    explicit RunRetrievalHost(Common& runSettings) : settings(runSettings) {}
    StatusCode runStatus() const { return settings.status; }
    // Why the run uses no network at all (a machine found offline), or empty.
    QString networkRefusal() const { return settings.networkRefusal; }

    bool retrievalAllowed() const override;
    std::optional<QNetworkProxy> proxy() const override;
    bool usesSystemProxy() const override;
    void keepProxyCredentials(const QNetworkProxy& proxy) override;
    bool asksUser() const override { return false; }
    void inform(const QString& title, const QString& text) override;
    void failed(const QString& title, const QString& message) override;
    void gaveUp() override;
    void abandon(QNetworkAccessManager* network) override;

protected:
    Common& settings;
};
