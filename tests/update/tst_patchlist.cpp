#include "update/patchlist.h"

#include <QtTest>

namespace {
// "version{patch,patch} version{}" for a master list.
QString summary(const QList<VersionPatches>& list)
{
    QStringList entries;
    for (const VersionPatches& entry : list) {
        QStringList names;
        for (const PublishedPatch& patch : entry.patches)
            names << patch.Name;
        entries << entry.version + '{' + names.join(',') + '}';
    }
    return entries.join(' ');
}
} // namespace

class TestPatchList : public QObject
{
    Q_OBJECT

private slots:
    void valueAsText_data();
    void valueAsText();
    void documents_data();
    void documents();
};

void TestPatchList::valueAsText_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, const QString& json, const QString& text) {
        QTest::newRow(name) << json << text;
    };
    row("string with escapes", R"("a\"b\u00e4\/")", "a\"bä/");
    row("boolean is dropped", "true", "");
    row("null", "null", "");
    row("array", R"(["x"])", "");
    row("object", R"({"a": 1})", "");
    row("last duplicate counts", R"("first", "Name": "second")", "second");
    row("duplicate boolean drops the key", R"("first", "Name": false)", "");
    row("whole number", "11", "11");
    row("fifteen significant digits", "0.1234567890123456789", "0.123456789012346");
    row("exponent", "1E+2", "100");
    row("general format past 15 digits", "1e21", "1e+21");
    row("integer of any length", "1234567890123456789012345", "1.23456789012346e+24");
    row("too large: infinity", "1e400", "inf");
    row("too large, negative", "-" + QString(400, '9'), "-inf");
    row("huge exponent", "1e99999999999999999999", "inf");
    row("too small: zero", "0.0001e-400", "0");
    row("negative zero, as Qt writes it", "-0", "0");
    row("surrogate pair", R"("\ud83d\ude00")", "\U0001F600");
    row("lone surrogate kept as one unit", R"("\ud800x\udc00")",
        QString(QChar(0xd800)) + 'x' + QChar(0xdc00));
    row("U+10FFFF beside a lone surrogate", R"("\udbff\udfff\uDBFF")",
        QString::fromUcs4(U"\U0010FFFF") + QChar(0xdbff));
}

void TestPatchList::valueAsText()
{
    QFETCH(QString, json);
    QFETCH(QString, text);
    const QList<VersionPatches> list = parsePatchListText(
        QStringLiteral(
            R"({"Product": [{"version": "1", "patches": [{"Platform": "all", "Name": %1}]}]})")
            .arg(json));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.first().patches.size(), 1);
    QCOMPARE(list.first().patches.first().Name, text);
}

void TestPatchList::documents_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("masterList");
    QTest::newRow("versions as text, patches for Windows")
        << R"({"Other": 1, "Product": [{"version": 10, "patches": [
              {"Name": "Ä", "Platform": "Windows"}, {"Name": "B", "Platform": "Linux"},
              {"Name": "C", "Platform": "windows server"}, {"Name": "D", "Platform": "small"},
              {"Name": "E", "Platform": ""}, {"Name": "F", "Platform": null}, {"Name": "G"}]},
              {"version": 10.2}, {"version": "x", "patches": "no list"}]})"
        << "10{Ä,C,D} 10.2{} x{}";
    QTest::newRow("booleans leave arrays, other elements read as empty, last key wins")
        << R"({"Product": [true, {"patches": [{"Name": "X", "Platform": "all"}], "version": "A",
              "patches": [null, 7, {"Name": "P", "Platform": "All"}]},
              null, "text", false]})"
        << "A{P} {} {}";
    const QString deep = QString(100000, '[') + QString(100000, ']');
    QTest::newRow("deep under an ignored key")
        << R"({"Other": )" + deep + R"(, "Product": [{"version": "1"}]})"
        << "1{}";
    QTest::newRow("deep under a read key")
        << R"({"Product": [{"version": "A", "patches": [{"Name": "P", "Platform": "all", "url": )" +
               deep + "}]}]}"
        << "A{P}";
    // Documents that give no list at all.
    const std::pair<const char*, QString> empty[] = {
        {"root key is case-sensitive", R"({"product": [{"version": "1"}]})"},
        {"root array", R"([{"Product": [{"version": "1"}]}])"},
        {"invalid json", R"({"Product": [)"},
        {"text around the json", R"(<p>{"Product": [{"version": "1"}]})"},
        {"deep and unclosed", R"({"Product": )" + QString(100000, '[')},
        {"raw line feed in a string", "{\"Product\": [{\"version\": \"1\n\"}]}"},
        {"leading zero", R"({"Product": [{"version": 01}]})"},
        {"fraction without digits", R"({"Product": [{"version": 10.}]})"},
        {"no digit before the point", R"({"Product": [{"version": -.5}]})"},
        {"two points", R"({"Product": [{"version": 0.1.2}]})"},
        {"two exponent signs", R"({"Product": [{"version": 0e+-1}]})"},
        {"trailing comma", R"({"Product": [{"version": "1"},]})"},
        {"comment", R"({"Product": [] /* none */})"},
        {"NaN", R"({"Product": [{"version": NaN}]})"},
        {"NUL after the json", QString(R"({"Product": []})") + QChar(0) + "x"},
        {"script is never run", R"((function(){return {"Product": [{"version": "1"}]}})())"}};
    for (const auto& [name, document] : empty)
        QTest::newRow(name) << document << QString();
}

void TestPatchList::documents()
{
    QFETCH(QString, document);
    QFETCH(QString, masterList);
    QCOMPARE(summary(parsePatchListText(document)), masterList);
    // Received bytes give the same, in Latin-1, in UTF-8 and after a byte
    // order mark, whichever versions are wanted: the others only lose their
    // patches.
    const QStringList wanted{QStringLiteral("10"), QStringLiteral("A")};
    QList<VersionPatches> onlyWanted = parsePatchListText(document);
    for (VersionPatches& entry : onlyWanted) {
        if (!wanted.contains(entry.version))
            entry.patches.clear();
    }
    for (const QByteArray& bytes :
         {document.toLatin1(), document.toUtf8(), "\xEF\xBB\xBF" + document.toUtf8()}) {
        const Result<QList<VersionPatches>> read = parsePatchListBytes(bytes, &wanted);
        QCOMPARE(summary(read.ok() ? read.value() : QList<VersionPatches>()), summary(onlyWanted));
    }
}

QTEST_GUILESS_MAIN(TestPatchList)
#include "tst_patchlist.moc"
