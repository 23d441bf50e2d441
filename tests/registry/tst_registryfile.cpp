#include "registry/registryfile.h"

#include <QtTest>

namespace {
const QByteArray header = "Windows Registry Editor Version 5.00\r\n\r\n";
const QByteArray key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n";
const QString software = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Test");

} // namespace

// Exports of tests/data/registry, in the dialects that tools write: each
// holds a value "V" that must read back as its .expected file says.
class TestRegistryFile : public QObject
{
    Q_OBJECT

private slots:
    void dialects_data();
    void dialects();
    void keysMergeDeleteAndListInRegistryOrder();
    void exportShapes_data();
    void exportShapes();
};

void TestRegistryFile::dialects_data()
{
    QTest::addColumn<QString>("file");
    QDir dir(QStringLiteral(SKYVANE_TEST_DATA "/registry"));
    for (const QString& name : dir.entryList({"*.reg"}))
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

void TestRegistryFile::dialects()
{
    QFETCH(QString, file);
    QFile expected(file.chopped(4) + ".expected");
    QVERIFY(expected.open(QIODevice::ReadOnly));
    RegistryFileResult result = loadRegistryExport(file);
    QVERIFY2(result.ok(), qPrintable(result.errorString()));
    QCOMPARE(result.value()->value(software, "v"), QString::fromUtf8(expected.readAll()));
}

void TestRegistryFile::keysMergeDeleteAndListInRegistryOrder()
{
    // The Kelvin sign K is not k by Windows' simple upper-casing, in any order.
    for (const QByteArray& kelvin :
         {QByteArray("[HKLM\\SOFTWARE\\Test\\k1]\n[HKLM\\SOFTWARE\\Test\\\xe2\x84\xaa"
                     "1]\n"),
          QByteArray("[HKLM\\SOFTWARE\\Test\\\xe2\x84\xaa"
                     "1]\n[HKLM\\SOFTWARE\\Test\\beta]\n[HKLM\\SOFTWARE\\Test\\k1]\n")}) {
        RegistryFileResult result = parseRegistryExport(
            header + kelvin +
            "[HKLM\\SOFTWARE\\Test\\beta]\n[HKLM\\SOFTWARE\\Test\\_under]\n"
            "[hklm\\software\\test\\Alpha]\n\"A\"=\"1\"\n"
            "[HKLM\\SOFTWARE\\Test\\ALPHA]\n\"B\"=\"2\"\n@=\"default\"\n\"A\"=-\n"
            "[HKLM\\SOFTWARE\\Test\\Gone\\Child]\n[-HKLM\\SOFTWARE\\Test\\Gone]\n");
        QVERIFY2(result.ok(), qPrintable(result.errorString()));
        // Sorted by upper-case form, as Windows lists subkeys: "_" after letters.
        QCOMPARE(result.value()->childKeys(software), QStringList({"Alpha", "beta", "k1", "_under",
                                                                   QString::fromUtf8("\xe2\x84\xaa"
                                                                                     "1")}));
        QVERIFY(!result.value()->hasValue(software + "\\alpha", "A"));
        QCOMPARE(result.value()->value(software + "\\alpha", "b"), QStringLiteral("2"));
        QCOMPARE(result.value()->value(software + "\\alpha", ""), QStringLiteral("default"));
    }
}

// Bounds small enough for a table, the same rules as the real ones.
constexpr ExportBounds tight{4096, 64, 8, 200};

// Shapes of exports, whole or broken, read with a selection that keeps one key
// (or all): each is read with "V"="ok" in that key, or refused at a line
// (0: the whole file), its message naming the bound it passed.
void TestRegistryFile::exportShapes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("selected"); // only SOFTWARE\Test is read
    QTest::addColumn<int>("line");      // -1: read
    QTest::addColumn<QString>("bound");
    const QByteArray ok = key + "\"V\"=\"ok\"\r\n";
    const QByteArray other = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n";
    const QByteArray nuls(3000, '\0');
    const auto row = [](const char* name, const QByteArray& bytes, bool selected, int line,
                        const QString& bound = {}) {
        QTest::newRow(name) << bytes << selected << line << bound;
    };
    row("plain", header + ok, false, -1);
    row("empty file", QByteArray(), false, 0);
    row("all NUL bytes", nuls, false, 0);
    row("no header", "[HKLM\\SOFTWARE]\n", false, 1);
    row("header after blank lines and blanks", " \r\n\t\r\n  " + header + ok, false, -1);
    row("header after blank lines, UTF-16",
        QByteArray("\xff\xfe\r\0\n\0 \0", 8) +
            QByteArray::fromRawData(
                reinterpret_cast<const char*>(QString::fromLatin1(header + ok).utf16()),
                (header + ok).size() * 2),
        false, -1);
    row("odd UTF-16 length", QByteArray("\xff\xfe\x57\x00\x69", 5), false, 0);
    row("NUL padding after the last line", header + ok + nuls, false, -1);
    row("NUL padding within the last line", header + key + "\"V\"=\"ok\"" + nuls, false, -1);
    row("Ctrl-Z padding", header + ok + QByteArray(3000, '\x1a'), false, -1);
    row("padding ends the text", header + ok + '\0' + "[HKLM\\SOFTWARE\\Test]\n\"V\"=-\n", false,
        -1);
    row("a line of blanks past the bound", header + QByteArray(2000, ' ') + "\r\n" + ok, false, -1);
    row("a comment past the bound", header + ';' + QByteArray(2000, 'c') + "\r\n" + ok, false, -1);
    row("a value past the bound in a key not read",
        header + other + "\"Long\"=\"" + QByteArray(2000, 'v') + "\"\r\n" + ok, true, -1);
    row("continued lines in a key not read",
        header + other + "\"Hex\"=hex:00,\\\r\n" + QByteArray("  01,\\\r\n").repeated(300) +
            "  02\r\n" + ok,
        true, -1);
    row("lines the importer skips, in keys not read",
        header + other + "-[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other\\Sub]\r\n# hash\r\n/* c */\r\n" +
            "\"Path\"=\"C:\\Program Files\\P\"\r\n\"NoEquals\"\r\n\"Q\"=hex(b):00,01\r\n" +
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other\r\n" + ok,
        true, -1);
    row("a qword of other than eight bytes", header + key + "\"Q\"=hex(b):00,01\r\n\"V\"=\"ok\"\n",
        false, -1);
    row("a value past the bound in a key read",
        header + key + "\"Long\"=\"" + QByteArray(2000, 'v') + "\"\r\n", true, 4, "64");
    row("a continued value past the bound in a key read",
        header + key + "\"Hex\"=hex:00,\\\r\n" + QByteArray("  01,\\\r\n").repeated(30) +
            "  02\r\n",
        true, 4, "64");
    row("more values than the bound", header + key + QByteArray("\"V\"=\"1\"\r\n").repeated(9),
        false, 11, "8");
    row("more text than the bound",
        header + key + QByteArray("\"A\"=\"" + QByteArray(50, 'a') + "\"\r\n").repeated(4), false,
        7, "200");
    row("a file past its bound", header + ok + QByteArray(5000, ';'), false, 0, "4096");
    row("unclosed key that is read", header + "[HKLM\\SOFTWARE\n", false, 3);
    row("key deeper than the registry allows",
        header + "[HKLM" + QByteArray(512 * 2, 'x').replace("xx", "\\x") + "]\n", false, 3);
    row("text not closed at the end", header + key + "\"A\"=\"1\n", false, 4);
    row("unknown escape", header + key + "\"A\"=\"a\\qb\"\n", false, 4);
    row("text after value", header + key + "\"A\"=\"1\" x\n", false, 4);
    row("a line the importer skips, in a key read", header + key + "# hash\n", true, 4);
    row("bad dword", header + key + "\"A\"=dword:123456789\n", false, 4);
    row("bad hex byte", header + key + "\"A\"=hex:fffffffffff\n", false, 4);
    row("unknown data", header + key + "\"A\"=42\n", false, 4);
}

void TestRegistryFile::exportShapes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, selected);
    QFETCH(int, line);
    QFETCH(QString, bound);
    ExportSelection selection;
    if (selected)
        selection.keepsKey = [](QStringView path) { return isSameRegistryName(path, software); };
    RegistryFileResult result = parseRegistryExport(bytes, selection, tight);
    if (line < 0) {
        QVERIFY2(result.ok(), qPrintable(result.errorString()));
        QCOMPARE(result.value()->value(software, "V"), QStringLiteral("ok"));
        return;
    }
    QVERIFY(!result.ok());
    QCOMPARE(result.error().line, line);
    QVERIFY(!result.errorString().isEmpty());
    if (!bound.isEmpty())
        QVERIFY2(result.errorString().contains(bound), qPrintable(result.errorString()));
}

QTEST_GUILESS_MAIN(TestRegistryFile)
#include "tst_registryfile.moc"
