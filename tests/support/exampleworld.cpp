#include "exampleworld.h"

#include "app/common.h"
#include "machinebuilder.h"
#include "products/quorixconfig.h"
#include "testsettings.h"
#include "ui/notificationpopup.h"

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

    PatchServer::Response list;
    list.body = R"({"Product": [{"version": "10.3", "patches": [
        {"Name": "Server Patch 1", "Products": "Quorix for Server", "Platform": "Windows", "QFE_ID": "QX0001"},
        {"Name": "Shared Fix <2>", "Products": "Quorix for Server, Zelvan for Quorix", "Platform": "Windows",
         "url": "http://downloads.vandry.com/shared.exe", "ReleaseDate": "2026-10-01"},
        {"Name": "Server Patch 3", "Products": "Quorix for Server", "Platform": "Windows",
         "url": "file:///etc/passwd", "ReleaseDate": "2026-11-01"}]}]})";
    server.setResponse(QStringLiteral("/sky_vane/patches.json"), list);
    server.listen();
    Common::instance()->patchListUrl = listUrl();
}
