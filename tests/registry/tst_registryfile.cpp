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
    void rejectedFiles_data();
    void rejectedFiles();
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

void TestRegistryFile::rejectedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    const auto row = [](const char* name, const QByteArray& bytes, int line) {
        QTest::newRow(name) << bytes << line;
    };
    row("empty file", QByteArray(), 0);
    row("no header", "[HKLM\\SOFTWARE]\n", 1);
    row("odd UTF-16 length", QByteArray("\xff\xfe\x57\x00\x69", 5), 0);
    row("unclosed key", header + "[HKLM\\SOFTWARE\n", 3);
    row("key deeper than the registry allows",
        header + "[HKLM" + QByteArray(512 * 2, 'x').replace("xx", "\\x") + "]\n", 3);
    row("text not closed at the end", header + key + "\"A\"=\"1\n", 4);
    row("unknown escape", header + key + "\"A\"=\"a\\qb\"\n", 4);
    row("text after value", header + key + "\"A\"=\"1\" x\n", 4);
    row("bad dword", header + key + "\"A\"=dword:123456789\n", 4);
    row("bad hex byte", header + key + "\"A\"=hex:fffffffffff\n", 4);
    row("short qword", header + key + "\"A\"=hex(b):00,01\n", 4);
    row("unknown data", header + key + "\"A\"=42\n", 4);
}

void TestRegistryFile::rejectedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    RegistryFileResult result = parseRegistryExport(bytes);
    QVERIFY(!result.ok());
    QCOMPARE(result.error().line, line);
    QVERIFY(!result.errorString().isEmpty());
}

QTEST_GUILESS_MAIN(TestRegistryFile)
#include "tst_registryfile.moc"
