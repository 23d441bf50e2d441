#include "machinebuilder.h"
#include "products/iquorixproduct.h"
#include "products/quorixconfig.h"

#include <QtTest>

// Each machine of tests/data/machines is discovered once per dialect of
// registry export, and must give the products and installed patches that the
// machine's own "product" and "patch" lines name.
class TestDiscovery : public QObject
{
    Q_OBJECT

    QTemporaryDir installRoot;

private slots:
    void machines_data()
    {
        QTest::addColumn<int>("dialect");
        QTest::addColumn<QString>("machine");
        QDir dir(QStringLiteral(SKYVANE_TEST_DATA "/machines"));
        for (const QString& name : dir.entryList({"*.txt"})) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString machine = QString::fromUtf8(file.readAll());
            for (int dialect = 0; dialect < MachineBuilder::dialects().size(); ++dialect)
                QTest::addRow("%s, %s", qPrintable(name), MachineBuilder::dialects()[dialect].name)
                    << dialect << machine;
        }
    }
    void machines()
    {
        QFETCH(int, dialect);
        QFETCH(QString, machine);
        const InstalledSoftware software =
            discoverInstalledSoftware(*MachineBuilder(machine, installRoot.path())
                                           .install(MachineBuilder::dialects()[dialect]));
        QStringList found;
        QStringList versions;
        for (const IQuorixProduct* product : software.products) {
            found << QStringLiteral("product %1|%2|%3|%4")
                         .arg(QString::number(product->type()), product->version(), product->name(),
                              product->registryKey().mid(28));
            QCOMPARE(product->updatesKey(), product->registryKey() + "\\Updates");
            if (!versions.contains(product->version()))
                versions << product->version();
        }
        for (const InstalledPatch& patch : software.patches)
            found << "patch " + patch.name + '|' + patch.qfeId + '|' + patch.idSuffix;
        static const QRegularExpression expectation("^(product|patch) .*$",
                                                    QRegularExpression::MultilineOption);
        QStringList expected;
        for (const auto& match : expectation.globalMatch(machine))
            expected << match.captured();
        QCOMPARE(found, expected);
        QCOMPARE(software.versions, versions);
    }
};

QTEST_GUILESS_MAIN(TestDiscovery)
#include "tst_discovery.moc"
