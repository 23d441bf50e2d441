#pragma once

#include "app/check.h"
#include "core/common.h"
#include "patchserver.h"
#include "products/quorixconfig.h"
#include "ui/notificationpopup.h"
#include "ui/widgetfrontend.h"

#include <QTemporaryDir>
#include <QTimer>

#include <functional>

// The shared fixture of the GUI tests: test settings, the widget frontend,
// a shortened popup timing and a small installed machine with a patch server
// that publishes updates for it: Quorix 10.3 for Server (with one installed
// patch) and Zelvan for Quorix 10.3; the list offers one patch for both and
// one for the server only, a security fix.
class ExampleWorld
{
public:
    ExampleWorld();
    QString listUrl() const { return server.url(QStringLiteral("/sky_vane/patches.json")); }
    int listRequests() const
    {
        return server.requestCount(QStringLiteral("/sky_vane/patches.json"));
    }

    // A list address that never answers: once its request has reached the
    // server, the action runs from the event loop that waits for the answer
    // (not after the context is gone).
    QString silentListUrl(QObject* context, const std::function<void()>& onRequest);

    // A check of the installed machine against the list the settings name.
    CheckRequest request() const;

    PatchServer server;
    InstalledSoftware software;
    Common settings; // the run's, as start-up would make them
    // A popup "second" of 10 ms, slides of 20 ms.
    static constexpr PopupTiming fastPopup{10, 20};

private:
    QTimer requestWatch;
    WidgetFrontend frontend;
    QTemporaryDir installRoot;
};
