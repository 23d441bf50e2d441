#pragma once

#include "app/runretrieval.h"

// A retrieval on the desktop: the user is asked for a proxy's address and
// credentials when they are needed.
class DesktopRetrievalHost : public RunRetrievalHost
{
public:
    bool asksUser() const override { return true; }
    void editProxySettings() override;
    std::optional<QNetworkProxy> askProxyCredentials(const QNetworkProxy& proxy) override;
};
