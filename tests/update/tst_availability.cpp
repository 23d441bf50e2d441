#include "fakeproduct.h"
#include "update/availability.h"

#include <QtTest>

namespace {
PublishedPatch patch(const QString& name, const QString& products, const QString& qfe = QString())
{
    PublishedPatch p;
    p.Name = name;
    p.Products = products;
    p.QFE_ID = qfe;
    return p;
}

} // namespace

class TestAvailability : public QObject
{
    Q_OBJECT

private slots:
    void installedPatchesAreLeftOut_data()
    {
        QTest::addColumn<QString>("installed"); // name|QFE_ID|suffix
        QTest::addColumn<QString>("published"); // name|QFE_ID
        QTest::addColumn<bool>("isInstalled");
        const auto row = [](const char* name, const char* installed, const char* published,
                            bool isInstalled) {
            QTest::newRow(name) << installed << published << isInstalled;
        };
        row("name, ignoring case", "Patch 2|N/A|QXP002", "PATCH 2|", true);
        row("suffix inside the QFE_ID", "P2|N/A|QXP002", "y|KB-QXP002-R", true);
        row("suffix is case-sensitive", "P2|N/A|QXP002", "y|qxp002", false);
        row("shared identifier, trimmed", "x|KB1, KB7|KB7", "y|KB0 , KB1", true);
        row("no shared identifier", "x|KB1, KB7|KB7", "y|KB10,KB2", false);
        row("empty suffix matches everything", "a|b|", "y|", true);
        row("N/A suffix matches N/A", "a|N/A|N/A", "y|N/A", true);
    }
    void installedPatchesAreLeftOut()
    {
        QFETCH(QString, installed);
        QFETCH(QString, published);
        QFETCH(bool, isInstalled);
        const QStringList record = installed.split('|');
        FakeProduct server("10.3", {"Quorix for Server"});
        const QList<VersionPatches> master{
            {"10.3",
             {patch(published.section('|', 0, 0), "Quorix for Server",
                    published.section('|', 1))}}};
        const QList<PublishedPatch> available = computeAvailablePatches(
            master, {"10.3"}, {&server}, {{record.at(0), record.at(1), record.at(2)}});
        QCOMPARE(available.isEmpty(), isInstalled);
    }
    void versionsProductsAndDuplicates()
    {
        FakeProduct server("10.3", {"Quorix for Server", "Quorix Server"});
        FakeProduct vault("10.2", {"Quorix Tarn Vault"});
        const PublishedPatch shared = patch("Both", "Quorix Server, Quorix Tarn Vault");
        PublishedPatch variant = shared;
        variant.ReleaseDate = "2026-01-01"; // differs in one field: a record of its own
        const QList<VersionPatches> master{
            {"10.2",
             {patch("V1", "QUORIX TARN VAULT"), patch("S-for-10.2", "Quorix Server"), shared}},
            {"10.3",
             {patch("S1", "Fix for quorix server"), patch("V-for-10.3", "Quorix Tarn Vault"),
              shared, variant}},
            {"10.1", {patch("Old", "Quorix for Server")}},
        };
        const QList<PublishedPatch> result =
            computeAvailablePatches(master, {"10.3", "10.2"}, {&server, &vault}, {});
        QStringList names;
        for (const PublishedPatch& p : result)
            names << p.Name;
        QCOMPARE(names, QStringList({"V1", "Both", "S1", "Both"}));
        QCOMPARE(result.at(3).ReleaseDate, QStringLiteral("2026-01-01"));
    }
};

QTEST_GUILESS_MAIN(TestAvailability)
#include "tst_availability.moc"
