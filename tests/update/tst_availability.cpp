#include "fakeproduct.h"
#include "logcapture.h"
#include "update/availability.h"

#include <QRandomGenerator>
#include <QtTest>

Q_DECLARE_METATYPE(QList<InstalledPatch>)

namespace {
PublishedPatch patch(const QString& name, const QString& products, const QString& qfe = QString())
{
    PublishedPatch p;
    p.Name = name;
    p.Products = products;
    p.Platform = QStringLiteral("Windows");
    p.QFE_ID = qfe;
    return p;
}

QStringList namesOf(const QList<PublishedPatch>& patches)
{
    QStringList names;
    for (const PublishedPatch& p : patches)
        names << p.Name;
    return names;
}
} // namespace

class TestAvailability : public QObject
{
    Q_OBJECT

private slots:
    void installedPatchTests_data();
    void installedPatchTests();
    void idListsIntersect_data();
    void idListsIntersect();
    void versionsAndProducts();
    void duplicatesListedOnceInFirstPosition();
    void productMatching();
    void logLines();
    void matcherAgreesWithPlainScan();
};

void TestAvailability::installedPatchTests_data()
{
    QTest::addColumn<QList<InstalledPatch>>("installed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("qfe");
    QTest::addColumn<bool>("isInstalled");

    const InstalledPatch byQfe{"Other name", "KB123456", "123456"};
    const InstalledPatch noQfe{"Server Patch 2", "N/A", "QXP002"};
    const InstalledPatch nothing{"Lonely", "N/A", "N/A"};

    QTest::newRow("name ignoring case") << QList<InstalledPatch>{noQfe} << "server patch 2"
                                        << "" << true;
    QTest::newRow("suffix substring") << QList<InstalledPatch>{noQfe} << "Renamed"
                                      << "KB-QXP002-R" << true;
    QTest::newRow("suffix is case-sensitive") << QList<InstalledPatch>{noQfe} << "Renamed"
                                              << "qxp002" << false;
    QTest::newRow("id list with blanks")
        << QList<InstalledPatch>{InstalledPatch{"x", "KB1", "ZZZZZZ"}} << "y"
        << "KB0, KB1" << true;
    QTest::newRow("id list disjoint")
        << QList<InstalledPatch>{InstalledPatch{"x", "KB1", "ZZZZZZ"}} << "y"
        << "KB10,KB2" << false;
    QTest::newRow("qfe equals record") << QList<InstalledPatch>{byQfe} << "new"
                                       << "KB123456" << true;
    QTest::newRow("N/A matches N/A") << QList<InstalledPatch>{nothing} << "new"
                                     << "N/A" << true;
    QTest::newRow("empty suffix matches all")
        << QList<InstalledPatch>{InstalledPatch{"a", "b", ""}} << "new"
        << "" << true;
    QTest::newRow("no records") << QList<InstalledPatch>{} << "new"
                                << "KB1" << false;
    QTest::newRow("empty qfe fails id tests") << QList<InstalledPatch>{byQfe, nothing} << "new"
                                              << "" << false;
}

void TestAvailability::installedPatchTests()
{
    QFETCH(QList<InstalledPatch>, installed);
    QFETCH(QString, name);
    QFETCH(QString, qfe);
    QFETCH(bool, isInstalled);
    const InstalledPatchMatcher matcher(installed);
    QCOMPARE(matcher.firstMatch(patch(name, "Quorix for Server", qfe)).has_value(), isInstalled);
}

void TestAvailability::idListsIntersect_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("intersect");
    QTest::newRow("equal") << "KB1"
                           << "KB1" << true;
    QTest::newRow("trimmed part") << "KB0, KB1"
                                  << "KB1" << true;
    QTest::newRow("both lists") << " A ,B"
                                << "C, A" << true;
    QTest::newRow("case-sensitive") << "kb1"
                                    << "KB1" << false;
    QTest::newRow("empty a") << ""
                             << "KB1" << false;
    QTest::newRow("empty b") << "KB1"
                             << "" << false;
    QTest::newRow("empty parts meet") << "A,"
                                      << ",B" << true;
    QTest::newRow("disjoint") << "A,B"
                              << "C,D" << false;
}

void TestAvailability::idListsIntersect()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, intersect);
    QCOMPARE(::idListsIntersect(a, b), intersect);
}

void TestAvailability::versionsAndProducts()
{
    FakeProduct server("10.3", {"Quorix for Server", "Quorix Server"}, "Server");
    FakeProduct vault("10.2", {"Quorix Tarn Vault"}, "Vault");
    FakeProduct exact("10.3.1", {"Zelvan for Quorix"}, "Zelvan");
    const QList<IQuorixProduct*> products{&server, &vault, &exact};
    const QList<VersionPatches> master{
        {"10.3",
         {patch("S1", "Quorix for Server"), patch("V1", "Quorix Tarn Vault"),
          patch("Z1", "Zelvan for Quorix")}},
        {"10.2", {patch("V2", "QUORIX TARN VAULT"), patch("S2", "Quorix Server")}},
        {"10.1", {patch("S3", "Quorix for Server")}},
    };
    const QStringList versions{"10.3", "10.2", "10.3.1"};
    QCOMPARE(namesOf(computeAvailablePatches(master, versions, products, {})),
             QStringList({"S1", "V2"}));
    QVERIFY(computeAvailablePatches(master, versions, {}, {}).isEmpty());
    QVERIFY(computeAvailablePatches({}, versions, products, {}).isEmpty());
}

void TestAvailability::duplicatesListedOnceInFirstPosition()
{
    FakeProduct server("10.3", {"Quorix for Server"});
    FakeProduct zelvan("10.2", {"Zelvan for Quorix"});
    const PublishedPatch shared = patch("Both", "Quorix for Server, Zelvan for Quorix");
    PublishedPatch variant = shared;
    variant.ReleaseDate = "2026-01-01"; // differs in one field: a record of its own
    const QList<VersionPatches> master{
        {"10.2", {patch("Z", "Zelvan for Quorix"), shared}},
        {"10.3", {patch("S", "Quorix for Server"), shared, variant}},
    };
    const QList<PublishedPatch> result =
        computeAvailablePatches(master, {"10.3", "10.2"}, {&server, &zelvan}, {});
    QCOMPARE(namesOf(result), QStringList({"Z", "Both", "S", "Both"}));
    QCOMPARE(result.at(3).ReleaseDate, QStringLiteral("2026-01-01"));
}

void TestAvailability::productMatching()
{
    FakeProduct server("10.3", {"Quorix for Server", "Quorix Server"});
    FakeProduct none("10.3", {});
    QVERIFY(productMatchesPatch(&server, patch("p", "Fix for QUORIX SERVER and others")));
    QVERIFY(!productMatchesPatch(&server, patch("p", "Quorix Flurrin")));
    QVERIFY(!productMatchesPatch(&none, patch("p", "anything")));
    QVERIFY(appliesToProductOfVersion(patch("p", "Quorix Server"), "10.3", {&none, &server}));
    QVERIFY(!appliesToProductOfVersion(patch("p", "Quorix Server"), "10.2", {&server}));
}

void TestAvailability::logLines()
{
    FakeProduct server("10.3", {"Quorix for Server"});
    const QList<InstalledPatch> installed{{"Installed Name", "KB7", "KB7"}};
    const QList<VersionPatches> master{
        {"10.3",
         {patch("Published Name", "Quorix for Server", "KB7"), patch("New", "Quorix for Server")}}};
    LogCapture log;
    computeAvailablePatches(master, {"10.3"}, {&server}, installed);
    QCOMPARE(log.lines(), QStringList({"Debug: Skipping installed patch: Installed Name",
                                       "Info: Adding available patch: New"}));
}

// The matcher's indexes must give the same first match as trying every record
// in order with the three tests.
void TestAvailability::matcherAgreesWithPlainScan()
{
    QRandomGenerator random(7);
    const QStringList pool{"",    "A",    "a",   "AB", "B1", "N/A",
                           "KB1", " KB1", "X,Y", "Y",  ",",  "QX1234567"};
    auto pick = [&] { return pool.at(int(random.bounded(pool.size()))); };
    for (int round = 0; round < 400; ++round) {
        QList<InstalledPatch> records;
        const int count = int(random.bounded(5));
        for (int i = 0; i < count; ++i)
            records.append({pick(), pick(), pick()});
        const InstalledPatchMatcher matcher(records);
        for (int j = 0; j < 20; ++j) {
            const PublishedPatch published = patch(pick(), "P", pick() + pick());
            std::optional<InstalledPatch> expected;
            for (const InstalledPatch& record : records) {
                if (published.Name.compare(record.name, Qt::CaseInsensitive) == 0 ||
                    published.QFE_ID.contains(record.idSuffix) ||
                    ::idListsIntersect(published.QFE_ID, record.qfeId)) {
                    expected = record;
                    break;
                }
            }
            const auto actual = matcher.firstMatch(published);
            QCOMPARE(actual.has_value(), expected.has_value());
            if (expected)
                QCOMPARE(*actual, *expected);
        }
    }
}

QTEST_GUILESS_MAIN(TestAvailability)
#include "tst_availability.moc"
