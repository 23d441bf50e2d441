#include "exampleworld.h"

#include "app/common.h"

#include "machinebuilder.h"
#include "products/quorixconfig.h"
#include "testsettings.h"
#include "ui/notificationpopup.h"
#include <QFile>

ExampleWorld::ExampleWorld()
{
    useTestSettings();
    setGuiFrontend(&frontend);
    NotificationPopup::setTimingForTesting(10, 20);

    const MachineBuilder machine(QStringLiteral(R"(
        [VANDRY\Server10.3]
        InstallDir=@server
        RealVersion=10.3
        [VANDRY\Server10.3\Updates\P1]
        Name=Server Patch 1
        QFE_ID=QX0001
        [VANDRY\Zelvan for Quorix]
        InstallDir=@zelvan
        RealVersion=10.3)"),
                                 installRoot.path());
    machine.install();
    QuorixConfig::instance()->init();

    QFile list(QStringLiteral(SKYVANE_TEST_DATA "/example-world-list.json"));
    list.open(QIODevice::ReadOnly);
    server.setResponse(QStringLiteral("/sky_vane/patches.json"),
                       PatchServer::Response::with(200, list.readAll()));
    server.listen();
    Common::instance()->patchListUrl = listUrl();
}
