#include "logcapture.h"
#include "machinebuilder.h"
#include "products/iquorixproduct.h"
#include "products/keyscans.h"
#include "products/quorixconfig.h"
#include "products/quorixproducts.h"

#include <QtTest>

#include <memory>

namespace {
const QString vandry = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\VANDRY");
const QString uninstall =
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");

} // namespace

// Every test runs once per registry backend: the in-memory store, a UTF-16LE
// export with CRLF as Windows saves it, and the same export in UTF-8 with LF.
class TestDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installRoot.isValid()); }
    void cleanup() { QuorixConfig::instance()->resetForTesting(); }

    void serverScanTakesFirstAcceptedGroup_data() { addBackendRows(); }
    void serverScanTakesFirstAcceptedGroup();
    void foundryFamilyTakesFirstServerGroup_data() { addBackendRows(); }
    void foundryFamilyTakesFirstServerGroup();
    void versionSources_data() { addBackendRows(); }
    void versionSources();
    void installDirDecidesInstallation_data() { addBackendRows(); }
    void installDirDecidesInstallation();
    void installedPatchRecords_data() { addBackendRows(); }
    void installedPatchRecords();
    void productsInTableOrderWithDistinctVersions_data() { addBackendRows(); }
    void productsInTableOrderWithDistinctVersions();

    void versionFromText_data();
    void versionFromText();
    void createProductRows_data();
    void createProductRows();
    void namesAndDisplayNames();
    void accessorsBeforeInitComplain();

private:
    void addBackendRows();
    MachineBuilder::Backend backend() const;
    QString installDir(const QString& name)
    {
        const QString path = installRoot.filePath(name);
        QDir().mkpath(path);
        return path;
    }
    QList<IQuorixProduct*> discover(const MachineBuilder& machine)
    {
        machine.install(backend());
        QuorixConfig::instance()->init();
        return QuorixConfig::instance()->installedProducts();
    }

    QTemporaryDir installRoot;
};

void TestDiscovery::addBackendRows()
{
    QTest::addColumn<int>("backend");
    for (auto b : {MachineBuilder::Backend::Memory, MachineBuilder::Backend::ExportUtf16Crlf,
                   MachineBuilder::Backend::ExportUtf8Lf})
        QTest::newRow(qPrintable(backendName(b))) << int(b);
}

MachineBuilder::Backend TestDiscovery::backend() const
{
    return MachineBuilder::Backend(*static_cast<int*>(QTest::qData("backend", qMetaTypeId<int>())));
}

void TestDiscovery::serverScanTakesFirstAcceptedGroup()
{
    MachineBuilder machine;
    machine.key(vandry + "\\ServerQuorixLegacy")
        .value("InstallDir", installDir("legacy"))
        .value("RealVersion", "9.0");
    machine.key(vandry + "\\Server10.1").value("RealVersion", "10.1"); // no InstallDir: passed over
    machine.key(vandry + "\\Server10.3")
        .value("InstallDir", installDir("s103"))
        .value("RealVersion", "10.3");
    machine.key(vandry + "\\Server10.2")
        .value("InstallDir", installDir("s102"))
        .value("RealVersion", "10.2");
    const QList<IQuorixProduct*> products = discover(machine);
    QCOMPARE(products.size(), 1);
    QCOMPARE(products.first()->type(), 1);
    QCOMPARE(products.first()->version(), QStringLiteral("10.2"));
    QCOMPARE(products.first()->registryKey(), vandry + "\\Server10.2");
    QCOMPARE(products.first()->updatesKey(), vandry + "\\Server10.2\\Updates");
}

void TestDiscovery::foundryFamilyTakesFirstServerGroup()
{
    const QString foundry = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\VandryFoundry");
    MachineBuilder machine;
    machine.key(foundry + "\\Server10.2").value("RealVersion", "10.2");
    machine.key(foundry + "\\Server10.2\\Tidemark").value("InstallDir", installDir("tide"));
    machine.key(foundry + "\\Server10.3\\QuorixAuditLens").value("InstallDir", installDir("lens"));
    const QList<IQuorixProduct*> products = discover(machine);
    // Audit Lens lives under the second Server group only, so it is not found.
    QCOMPARE(products.size(), 1);
    QCOMPARE(products.first()->type(), 10);
    QCOMPARE(products.first()->version(), QStringLiteral("10.2")); // from the parent key
    QCOMPARE(products.first()->name(), QStringLiteral("Quorix 10.2 Tidemark: Server"));
}

void TestDiscovery::versionSources()
{
    const QString calder = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\VANDRY_CALDER");
    const QString route = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\VandryRouteKeying");
    MachineBuilder machine;
    machine.key(calder + "\\CALDER_ServerExt10.3").value("InstallDir", installDir("calder"));
    machine.key(vandry + "\\TKX").value("RealVersion", "10.1");
    machine.key(vandry + "\\TKX\\A").value("InstallDir", "");
    machine.key(vandry + "\\TKX\\B").value("InstallDir", installDir("tkx"));
    machine.key(vandry + "\\Flurrin10.3\\Server")
        .value("InstallDir", installDir("fl"))
        .value("RealVersion", "10.3.1");
    machine.key(route + "\\Conduits_X").value("InstallDir", installDir("cond"));
    const QList<IQuorixProduct*> products = discover(machine);
    QCOMPARE(products.size(), 4);
    QCOMPARE(products.at(0)->type(), 4);
    QCOMPARE(products.at(0)->version(), QStringLiteral("10.3.1"));
    QCOMPARE(products.at(1)->type(), 5);
    QCOMPARE(products.at(1)->version(), QStringLiteral("10.3")); // from the key's own name
    QCOMPARE(products.at(2)->type(), 6);
    QCOMPARE(products.at(2)->registryKey(), vandry + "\\TKX\\B"); // empty InstallDir passed over
    QCOMPARE(products.at(2)->version(), QStringLiteral("10.1"));  // preset from the TKX root
    QCOMPARE(products.at(3)->type(), 12);
    QCOMPARE(products.at(3)->version(), QString());
    QCOMPARE(products.at(3)->name(), QStringLiteral("Quorix  Conduits Keying for Server"));
}

void TestDiscovery::installDirDecidesInstallation()
{
    MachineBuilder machine;
    machine.key(vandry + "\\Server10.3").value("InstallDir", "").value("RealVersion", "10.3");
    machine.key(vandry + "\\Zelvan for Quorix")
        .value("InstallDir", installRoot.filePath("missing"));
    machine.key(vandry + "\\Quorix Tarn Vault")
        .value("InstallDir", installDir("tarn"))
        .value("ProductName", "");
    const QList<IQuorixProduct*> products = discover(machine);
    QCOMPARE(products.size(), 1);
    QCOMPARE(products.first()->type(), 3);
    QCOMPARE(products.first()->installDir(), installRoot.filePath("tarn"));
    QCOMPARE(products.first()->name(), QStringLiteral("Quorix  Tarn Vault"));
    QCOMPARE(QuorixConfig::instance()->installedVersions(), QStringList{QString()});
}

void TestDiscovery::installedPatchRecords()
{
    const QString updates = vandry + "\\Zelvan for Quorix\\Updates";
    MachineBuilder machine;
    machine.key(vandry + "\\Zelvan for Quorix")
        .value("InstallDir", installDir("zv"))
        .value("RealVersion", "10.3");
    machine.key(updates + "\\A").value("Name", "Short QFE").value("QFE_ID", "Q12");
    machine.key(updates + "\\B").value("Name", "Long QFE").value("QFE_ID", "KB4012345678");
    machine.key(updates + "\\C").value("Name", "Listed Twice");
    machine.key(updates + "\\D").value("Name", "Not Listed");
    machine.key(updates + "\\E");
    machine.key(updates + "\\F").value("Name", "Same").value("QFE_ID", "S1");
    machine.key(updates + "\\G").value("Name", "Same").value("QFE_ID", "S1");
    machine.key(uninstall + "\\{AAAA}_FIRST1").value("DisplayName", "listed twice");
    machine.key(uninstall + "\\{BBBB}_LATER2").value("DisplayName", "LISTED TWICE");
    machine.key(uninstall + "\\NoName").value("Publisher", "Vandry");
    // Not installed: its patches are never looked at.
    machine.key(vandry + "\\Quorix Tarn Vault\\Updates\\X").value("Name", "Orphan");

    discover(machine);
    const QList<InstalledPatch> expected{
        {"Short QFE", "Q12", "Q12"},
        {"Long QFE", "KB4012345678", "345678"},
        {"Listed Twice", "N/A", "LATER2"},
        {"Not Listed", "N/A", "N/A"},
        {"", "N/A", "N/A"},
        {"Same", "S1", "S1"},
        {"Same", "S1", "S1"},
    };
    QCOMPARE(QuorixConfig::instance()->installedPatches(), expected);
}

void TestDiscovery::productsInTableOrderWithDistinctVersions()
{
    MachineBuilder machine;
    machine
        .key(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\VandryRouteKeying\\LanesandCauseways1"))
        .value("InstallDir", installDir("lanes"))
        .value("RealVersion", "10.3");
    machine.key(vandry + "\\Quorix Tarn Vault")
        .value("InstallDir", installDir("tv"))
        .value("RealVersion", "10.2");
    machine.key(vandry + "\\Server10.3")
        .value("InstallDir", installDir("sv"))
        .value("RealVersion", "10.3");
    machine.key(vandry + "\\Server10.3\\Updates\\P1")
        .value("Name", "Server Patch")
        .value("QFE_ID", "QX1");
    machine.key(vandry + "\\Quorix Tarn Vault\\Updates\\P2")
        .value("Name", "Vault Patch")
        .value("QFE_ID", "TV2");

    LogCapture log(1);
    const QList<IQuorixProduct*> products = discover(machine);
    QCOMPARE(products.size(), 3);
    QCOMPARE(products.at(0)->type(), 1);
    QCOMPARE(products.at(1)->type(), 3);
    QCOMPARE(products.at(2)->type(), 13);
    QCOMPARE(QuorixConfig::instance()->installedVersions(), QStringList({"10.3", "10.2"}));
    QCOMPARE(QuorixConfig::instance()->installedPatches().size(), 2);
    QCOMPARE(QuorixConfig::instance()->installedPatches().first().name,
             QStringLiteral("Server Patch"));
    QCOMPARE(log.lines(), QStringList({"Info: Found product: Quorix for Server",
                                       "Info: Found product: Quorix for TarnVault",
                                       "Info: Found product: Vandry Lanes and Causeways"}));

    // A second init() changes nothing and logs nothing.
    QuorixConfig::instance()->init();
    QCOMPARE(QuorixConfig::instance()->installedProducts(), products);
    QCOMPARE(log.lines().size(), 3);
}

void TestDiscovery::versionFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("version");
    QTest::newRow("underscore dropped") << "10_2"
                                        << "102";
    QTest::newRow("ends at a letter") << "Release10.3.1x"
                                      << "10.3.1";
    QTest::newRow("no digits") << "CALDER_ServerExt"
                               << "";
    QTest::newRow("registry key")
        << "HKEY_LOCAL_MACHINE\\SOFTWARE\\VANDRY_CALDER\\CALDER_ServerExt10.3"
        << "10.3";
    QTest::newRow("dot before digits skipped") << ".v9"
                                               << "9";
    QTest::newRow("blank inside run dropped") << "v10 .4"
                                              << "10.4";
}

void TestDiscovery::versionFromText()
{
    QFETCH(QString, text);
    QFETCH(QString, version);
    QCOMPARE(::versionFromText(text), version);
}

void TestDiscovery::createProductRows_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("aliasCount");
    QTest::addColumn<QString>("firstAlias");
    QTest::addColumn<QString>("patchLog");
    QTest::newRow("0") << 0 << -1 << ""
                       << "";
    QTest::newRow("14") << 14 << -1 << ""
                        << "";
    QTest::newRow("-3") << -3 << -1 << ""
                        << "";
    QTest::newRow("1") << 1 << 2 << "Quorix for Server"
                       << ".VANDRY_S_PATCH_LOG";
    QTest::newRow("4") << 4 << 4 << "Quorix Flurrin Extension"
                       << ".VANDRY_FLE_PATCH_LOG";
    QTest::newRow("6") << 6 << 6 << "Quorix Taskwell Manager"
                       << "";
    QTest::newRow("13") << 13 << 3 << "Vandry Lanes and Causeways"
                        << "";
}

void TestDiscovery::createProductRows()
{
    QFETCH(int, number);
    QFETCH(int, aliasCount);
    QFETCH(QString, firstAlias);
    QFETCH(QString, patchLog);
    MachineBuilder().install();
    std::unique_ptr<IQuorixProduct> product(createProduct(number));
    if (aliasCount < 0) {
        QVERIFY(!product);
        return;
    }
    QVERIFY(product);
    QCOMPARE(product->type(), number);
    QCOMPARE(product->aliases().size(), aliasCount);
    QCOMPARE(product->aliases().first(), firstAlias);
    QCOMPARE(product->patchLogFile(), patchLog);
    QVERIFY(!product->isInstalled());
    QVERIFY(product->installedPatches().isEmpty());
}

void TestDiscovery::namesAndDisplayNames()
{
    MachineBuilder().install();
    std::unique_ptr<IQuorixProduct> server(createProduct(1));
    QCOMPARE(server->registryKey(), QString());
    QCOMPARE(server->updatesKey(), QStringLiteral("\\Updates"));
    QCOMPARE(server->name(), QStringLiteral("Quorix  for Server"));
    server->setVersion("10.3");
    QCOMPARE(server->displayName(), QStringLiteral("Quorix 10.3 for Server"));
    server->setName("Custom <VER> Name");
    QCOMPARE(server->name(), QStringLiteral("Custom <VER> Name"));
    std::unique_ptr<IQuorixProduct> zelvan(createProduct(2));
    zelvan->setVersion("10.3");
    QCOMPARE(zelvan->name(), QStringLiteral("Zelvan for Quorix 10.3"));
}

void TestDiscovery::accessorsBeforeInitComplain()
{
    LogCapture log(1);
    QVERIFY(QuorixConfig::instance()->installedProducts().isEmpty());
    QVERIFY(QuorixConfig::instance()->installedVersions().isEmpty());
    QVERIFY(QuorixConfig::instance()->installedPatches().isEmpty());
    QCOMPARE(log.lines(), QStringList({"Fatal: You need to call QuorixConfig::instance()->init() "
                                       "before calling installedProducts()",
                                       "Fatal: You need to call QuorixConfig::instance()->init() "
                                       "before calling installedVersions()",
                                       "Fatal: You need to call QuorixConfig::instance()->init() "
                                       "before calling installedPatches()"}));
}

QTEST_GUILESS_MAIN(TestDiscovery)
#include "tst_discovery.moc"
