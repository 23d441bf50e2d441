#include "exampleworld.h"

#include "app/common.h"
#include "machinebuilder.h"
#include "products/quorixconfig.h"

#include <QDir>

ExampleWorld::ExampleWorld()
{
    const QString vandry = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\VANDRY");
    const QString serverDir = installRoot.filePath(QStringLiteral("server"));
    const QString zelvanDir = installRoot.filePath(QStringLiteral("zelvan"));
    QDir().mkpath(serverDir);
    QDir().mkpath(zelvanDir);
    MachineBuilder machine;
    machine.key(vandry + "\\Server10.3")
        .value("InstallDir", serverDir)
        .value("RealVersion", "10.3");
    machine.key(vandry + "\\Server10.3\\Updates\\P1")
        .value("Name", "Server Patch 1")
        .value("QFE_ID", "QX0001");
    machine.key(vandry + "\\Zelvan for Quorix")
        .value("InstallDir", zelvanDir)
        .value("RealVersion", "10.3");
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
    Common::instance()->patchListAddress = listUrl();
}
