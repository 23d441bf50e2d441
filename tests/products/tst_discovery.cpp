#include "machinebuilder.h"
#include "products/iquorixproduct.h"
#include "products/keyscans.h"
#include "products/quorixconfig.h"

#include <QtTest>

Q_DECLARE_METATYPE(MachineBuilder::Backend)

// Every machine is discovered once per registry backend: the in-memory store,
// a UTF-16LE export with CRLF as Windows saves it, and UTF-8 with LF.
class TestDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void products_data()
    {
        QTest::addColumn<MachineBuilder::Backend>("backend");
        QTest::addColumn<QString>("machine");
        QTest::addColumn<QStringList>("found"); // "type|version|name|registry key below SOFTWARE"
        addMachineRow("server: the first group with an install folder, in registry order", R"(
            [VANDRY\ServerQuorixLegacy]
            InstallDir=@legacy
            [VANDRY\Server10.1]
            RealVersion=10.1
            [VANDRY\Server10.3]
            InstallDir=@s103
            [VANDRY\Server10.2]
            InstallDir=@s102
            RealVersion=10.2)",
                      {"1|10.2|Quorix 10.2 for Server|VANDRY\\Server10.2"});
        addMachineRow("foundry family: the first Server group only, version of the parent", R"(
            [VandryFoundry\Server10.2]
            RealVersion=10.2
            [VandryFoundry\Server10.2\Tidemark]
            InstallDir=@tide
            [VandryFoundry\Server10.3\QuorixAuditLens]
            InstallDir=@lens)",
                      {"10|10.2|Quorix 10.2 Tidemark: Server|VandryFoundry\\Server10.2\\Tidemark"});
        addMachineRow("versions from the key, the TKX root or nowhere", R"(
            [VANDRY_CALDER\CALDER_ServerExt10.3]
            InstallDir=@calder
            [VANDRY\TKX]
            RealVersion=10.1
            [VANDRY\TKX\A]
            InstallDir=
            [VANDRY\TKX\B]
            InstallDir=@tkx
            [VandryRouteKeying\Conduits_X]
            InstallDir=@conduits)",
                      {"5|10.3|Quorix 10.3 for CALDER|VANDRY_CALDER\\CALDER_ServerExt10.3",
                       "6|10.1|Quorix 10.1 Taskwell Manager for Server|VANDRY\\TKX\\B",
                       "12||Quorix  Conduits Keying for Server|VandryRouteKeying\\Conduits_X"});
        addMachineRow("an install folder must exist; table order; product names from the table", R"(
            [VandryRouteKeying\LanesandCauseways1]
            InstallDir=@lanes
            RealVersion=10.3
            [VANDRY\Zelvan for Quorix]
            InstallDir=/no/such/folder
            [VANDRY\Quorix Tarn Vault]
            InstallDir=@vault
            RealVersion=10.2
            ProductName=)",
                      {"3|10.2|Quorix 10.2 Tarn Vault|VANDRY\\Quorix Tarn Vault",
                       "13|10.3|Vandry Lanes and Causeways 10.3 for "
                       "Server|VandryRouteKeying\\LanesandCauseways1"});
    }
    void products()
    {
        QFETCH(QStringList, found);
        discover();
        QStringList actual;
        QStringList versions;
        const QList<IQuorixProduct*> products = QuorixConfig::instance()->installedProducts();
        for (const IQuorixProduct* product : products) {
            actual << QStringLiteral("%1|%2|%3|%4")
                          .arg(QString::number(product->type()), product->version(),
                               product->name(), product->registryKey().mid(28));
            QCOMPARE(product->updatesKey(), product->registryKey() + "\\Updates");
            if (!versions.contains(product->version()))
                versions << product->version();
        }
        QCOMPARE(actual, found);
        QCOMPARE(QuorixConfig::instance()->installedVersions(), versions);
    }
    void installedPatchRecords_data()
    {
        QTest::addColumn<MachineBuilder::Backend>("backend");
        QTest::addColumn<QString>("machine");
        QTest::addColumn<QStringList>("found"); // "name|QFE_ID|suffix"
        addMachineRow("QFE_ID, else the last Uninstall entry of that name, else N/A", R"(
            [VANDRY\Zelvan for Quorix]
            InstallDir=@zelvan
            [VANDRY\Zelvan for Quorix\Updates\A]
            Name=Short QFE
            QFE_ID=Q12
            [VANDRY\Zelvan for Quorix\Updates\B]
            Name=Long QFE
            QFE_ID=KB4012345678
            [VANDRY\Zelvan for Quorix\Updates\C]
            Name=Listed Twice
            [VANDRY\Zelvan for Quorix\Updates\D]
            Name=Größe
            [VANDRY\Zelvan for Quorix\Updates\E]
            [Microsoft\Windows\CurrentVersion\Uninstall\{AAAA}_FIRST1]
            DisplayName=listed twice
            [Microsoft\Windows\CurrentVersion\Uninstall\{BBBB}_LATER2]
            DisplayName=LISTED TWICE
            [VANDRY\Quorix Tarn Vault\Updates\X]
            Name=Not installed: never looked at)",
                      {"Short QFE|Q12|Q12", "Long QFE|KB4012345678|345678",
                       "Listed Twice|N/A|LATER2", "Größe|N/A|N/A", "|N/A|N/A"});
    }
    void installedPatchRecords()
    {
        QFETCH(QStringList, found);
        discover();
        QStringList actual;
        for (const InstalledPatch& patch : QuorixConfig::instance()->installedPatches())
            actual << patch.name + '|' + patch.qfeId + '|' + patch.idSuffix;
        QCOMPARE(actual, found);
    }
    void versionFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("version");
        QTest::newRow("first run of digits and dots") << "CALDER_ServerExt10.3x.4"
                                                      << "10.3";
        QTest::newRow("underscores and blanks inside dropped") << "v10_2 .4"
                                                               << "102.4";
        QTest::newRow("no digits") << "CALDER_ServerExt"
                                   << "";
    }
    void versionFromText()
    {
        QFETCH(QString, text);
        QFETCH(QString, version);
        QCOMPARE(::versionFromText(text), version);
    }

private:
    static void addMachineRow(const char* name, const QString& machine, const QStringList& found);
    void discover()
    {
        QFETCH(MachineBuilder::Backend, backend);
        QFETCH(QString, machine);
        MachineBuilder(machine, installRoot.path()).install(backend);
        QuorixConfig::instance()->init();
    }

    QTemporaryDir installRoot;
};

void TestDiscovery::addMachineRow(const char* name, const QString& machine,
                                  const QStringList& found)
{
    for (const MachineBuilder::Backend backend : MachineBuilder::backends())
        QTest::addRow("%s, %s", name, qPrintable(MachineBuilder::backendName(backend)))
            << backend << machine << found;
}

QTEST_GUILESS_MAIN(TestDiscovery)
#include "tst_discovery.moc"
