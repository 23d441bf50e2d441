#include "exampleworld.h"

#include "core/common.h"

#include "machinebuilder.h"
#include "testsettings.h"
#include <QFile>

ExampleWorld::ExampleWorld()
{
    useTestSettings();
    setGuiFrontend(&frontend);

    QFile machine(QStringLiteral(SKYVANE_TEST_DATA "/example-world-machine.txt"));
    QFile list(QStringLiteral(SKYVANE_TEST_DATA "/example-world-list.json"));
    machine.open(QIODevice::ReadOnly);
    list.open(QIODevice::ReadOnly);
    software = discoverInstalledSoftware(
        *MachineBuilder(QString::fromUtf8(machine.readAll()), installRoot.path()).install());
    server.setResponse(QStringLiteral("/sky_vane/patches.json"),
                       PatchServer::Response::with(200, list.readAll()));
    server.listen();
    settings.patchListUrl = listUrl();
}

CheckRequest ExampleWorld::request() const
{
    // Ages count from a fixed day, whatever today is.
    return {QStringLiteral("example"),
            settings.patchListUrl,
            0,
            {},
            &software,
            QDateTime(QDate(2026, 12, 6), QTime(12, 0), Qt::UTC),
            std::nullopt,
            std::nullopt};
}

QString ExampleWorld::silentListUrl(QObject* context, const std::function<void()>& onRequest)
{
    const QString path = QStringLiteral("/never");
    server.setResponse(path, PatchServer::Response::with(200).silently());
    const int before = server.requestCount(path);
    requestWatch.disconnect();
    QObject::connect(context, &QObject::destroyed, &requestWatch, &QTimer::stop);
    QObject::connect(&requestWatch, &QTimer::timeout, context, [this, path, before, onRequest] {
        if (server.requestCount(path) == before)
            return;
        requestWatch.stop();
        onRequest();
    });
    requestWatch.start(5);
    return server.url(path);
}
