#include "logcapture.h"
#include "update/patchlist.h"

#include <QtTest>

namespace {
QString document(const QString& patchesJson, const QString& version = QStringLiteral("\"10.3\""))
{
    return QStringLiteral(R"({"Product": [{"version": %1, "patches": [%2]}]})")
        .arg(version, patchesJson);
}
} // namespace

class TestPatchList : public QObject
{
    Q_OBJECT

private slots:
    void fieldConversion_data();
    void fieldConversion();
    void versionText_data();
    void versionText();
    void platformFilter_data();
    void platformFilter();
    void documentsWithoutVersions_data();
    void documentsWithoutVersions();
    void structure();
    void arrayElements();
    void debugLineForEachKeptPatch();
};

void TestPatchList::fieldConversion_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");

    QTest::newRow("string") << R"("Name": "Patch 1")"
                            << "Name"
                            << "Patch 1";
    QTest::newRow("boolean dropped") << R"("SecurityPatch": true)"
                                     << "SecurityPatch"
                                     << "";
    QTest::newRow("string kept") << R"("SecurityPatch": "true")"
                                 << "SecurityPatch"
                                 << "true";
    QTest::newRow("null") << R"("url": null)"
                          << "url"
                          << "";
    QTest::newRow("integer") << R"("QFE_ID": 11)"
                             << "QFE_ID"
                             << "11";
    QTest::newRow("fraction") << R"("QFE_ID": 10.3)"
                              << "QFE_ID"
                              << "10.3";
    QTest::newRow("fifteen digits") << R"("QFE_ID": 0.1234567890123456789)"
                                    << "QFE_ID"
                                    << "0.123456789012346";
    QTest::newRow("large") << R"("QFE_ID": 1e21)"
                           << "QFE_ID"
                           << "1e+21";
    QTest::newRow("array") << R"("Products": ["Quorix for Server"])"
                           << "Products"
                           << "";
    QTest::newRow("object") << R"("Products": {"a": 1})"
                            << "Products"
                            << "";
    QTest::newRow("key case matters") << R"("name": "lower")"
                                      << "Name"
                                      << "";
    QTest::newRow("last duplicate counts") << R"("Name": "first", "Name": "second")"
                                           << "Name"
                                           << "second";
    QTest::newRow("duplicate boolean drops") << R"("Name": "first", "Name": false)"
                                             << "Name"
                                             << "";
    QTest::newRow("escapes") << R"("Name": "a\"b\u00e4")"
                             << "Name"
                             << "a\"bä";
}

void TestPatchList::fieldConversion()
{
    QFETCH(QString, json);
    QFETCH(QString, field);
    QFETCH(QString, text);
    const QString patch = QStringLiteral(R"({"Platform": "Windows", %1})").arg(json);
    const QList<VersionPatches> list = parsePatchListText(document(patch));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.first().patches.size(), 1);
    const PublishedPatch& parsed = list.first().patches.first();
    const QHash<QString, QString> fields{{"Name", parsed.Name},
                                         {"Products", parsed.Products},
                                         {"SecurityPatch", parsed.SecurityPatch},
                                         {"url", parsed.url},
                                         {"QFE_ID", parsed.QFE_ID},
                                         {"ReleaseDate", parsed.ReleaseDate}};
    QCOMPARE(fields.value(field), text);
}

void TestPatchList::versionText_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("version");
    QTest::newRow("string") << "\"10.3\""
                            << "10.3";
    QTest::newRow("number with fraction") << "10.2"
                                          << "10.2";
    QTest::newRow("whole number") << "10"
                                  << "10";
    QTest::newRow("binary fraction") << "10.3"
                                     << "10.3";
    QTest::newRow("null") << "null"
                          << "";
    QTest::newRow("boolean") << "true"
                             << "";
}

void TestPatchList::versionText()
{
    QFETCH(QString, json);
    QFETCH(QString, version);
    const QList<VersionPatches> list = parsePatchListText(document(QString(), json));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.first().version, version);
}

void TestPatchList::platformFilter_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<bool>("kept");
    QTest::newRow("Windows") << "\"Windows\"" << true;
    QTest::newRow("windows") << "\"windows\"" << true;
    QTest::newRow("Windows Server") << "\"Windows Server\"" << true;
    QTest::newRow("All") << "\"All\"" << true;
    QTest::newRow("small contains all") << "\"small\"" << true;
    QTest::newRow("list") << "\"Windows, Linux and ALL\"" << true;
    QTest::newRow("Linux") << "\"Linux\"" << false;
    QTest::newRow("empty") << "\"\"" << false;
    QTest::newRow("null") << "null" << false;
    QTest::newRow("boolean") << "true" << false;
}

void TestPatchList::platformFilter()
{
    QFETCH(QString, platform);
    QFETCH(bool, kept);
    const QString patch = QStringLiteral(R"({"Name": "P", "Platform": %1})").arg(platform);
    const QList<VersionPatches> list = parsePatchListText(document(patch));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.first().patches.size(), kept ? 1 : 0);
}

void TestPatchList::documentsWithoutVersions_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("root array") << R"([{"Product": []}])";
    QTest::newRow("root string") << R"("Product")";
    QTest::newRow("root number") << "42";
    QTest::newRow("lower-case key") << R"({"product": [{"version": "1"}]})";
    QTest::newRow("upper-case key") << R"({"PRODUCT": [{"version": "1"}]})";
    QTest::newRow("empty Product") << R"({"Product": []})";
    QTest::newRow("Product not an array") << R"({"Product": {"version": "1"}})";
    QTest::newRow("invalid json") << R"({"Product": [)";
    QTest::newRow("html error page") << "<html><body>404</body></html>";
    QTest::newRow("text after the json") << R"({"Product": [{"version": "1"}]} trailing)";
    QTest::newRow("script is not run")
        << R"((function(){return {"Product": [{"version": "1"}]}})())";
    QTest::newRow("empty") << "";
}

void TestPatchList::documentsWithoutVersions()
{
    QFETCH(QString, text);
    QVERIFY(parsePatchListText(text).isEmpty());
}

void TestPatchList::structure()
{
    const QString text = QStringLiteral(R"({
        "Other": 1,
        "Product": [
            {"version": "10.3", "patches": [{"Name": "A", "Platform": "Windows"},
                                            {"Name": "B", "Platform": "Linux"},
                                            {"Name": "C", "Platform": "all"}]},
            {"version": "10.3"},
            {"version": "10.2", "patches": "not a list"},
            "not an object",
            {"version": "10.1", "patches": [null, 7, {"Name": "D", "Platform": "Windows"}]}
        ]})");
    const QList<VersionPatches> list = parsePatchListText(text);
    QCOMPARE(list.size(), 5);
    QCOMPARE(list.at(0).version, QStringLiteral("10.3"));
    QCOMPARE(list.at(0).patches.size(), 2);
    QCOMPARE(list.at(0).patches.at(0).Name, QStringLiteral("A"));
    QCOMPARE(list.at(0).patches.at(1).Name, QStringLiteral("C"));
    QCOMPARE(list.at(1).version, QStringLiteral("10.3"));
    QVERIFY(list.at(1).patches.isEmpty());
    QVERIFY(list.at(2).patches.isEmpty());
    QCOMPARE(list.at(3).version, QString());
    QCOMPARE(list.at(4).patches.size(), 1);
    QCOMPARE(list.at(4).patches.first().Name, QStringLiteral("D"));
}

void TestPatchList::arrayElements()
{
    // Booleans leave an array and later elements move up; null stays as an
    // element that is no object, so it gives an empty entry.
    const QList<VersionPatches> list = parsePatchListText(
        QStringLiteral(R"({"Product": [true, {"version": "A"}, null, false, {"version": 2}]})"));
    QCOMPARE(list.size(), 3);
    QCOMPARE(list.at(0).version, QStringLiteral("A"));
    QCOMPARE(list.at(1).version, QString());
    QCOMPARE(list.at(2).version, QStringLiteral("2"));
}

void TestPatchList::debugLineForEachKeptPatch()
{
    LogCapture log;
    parsePatchListText(document(
        R"({"Name": "Kept %1", "Platform": "Windows"}, {"Name": "Dropped", "Platform": "Mac"})"));
    QCOMPARE(log.lines(), QStringList{"Debug: Adding patch to master list: Kept %1"});
}

QTEST_GUILESS_MAIN(TestPatchList)
#include "tst_patchlist.moc"
