#include "registry/registryfile.h"

#include <QtTest>

namespace {
const QByteArray header = "Windows Registry Editor Version 5.00\r\n\r\n";
const QByteArray key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n";
const QString software = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Test");

QByteArray utf16WithBom(const QByteArray& utf8)
{
    const QString text = QString::fromUtf8(utf8);
    return QByteArray("\xff\xfe", 2) +
           QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}
} // namespace

// Exports as the tools that write them do, each read back to the value "V".
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
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    const QByteArray v = header + key + "\"V\"=";
    QTest::newRow("regedit: escapes, UTF-16LE")
        << utf16WithBom(v + "\"C:\\\\Q \\\"x\\\" €\"\r\n") << "C:\\Q \"x\" €";
    QTest::newRow("UTF-8 with BOM") << "\xef\xbb\xbf" + v + "\"Größe\"\n"
                                    << "Größe";
    QTest::newRow("Wine's escapes") << v + "\"a\\nb\\rc\\0d\"\n"
                                    << QString("a\nb\rc") + QChar(0) + "d";
    QTest::newRow("raw line feed in a text (Samba)") << v + "\"one\ntwo\"\n"
                                                     << "one\ntwo";
    QTest::newRow("ANSI code page without BOM") << v + "\"Gr\xf6\xdf"
                                                       "e \x80\"\n"
                                                << "Größe €";
    QTest::newRow("CR line ends, comment after the key")
        << QByteArray("REGEDIT4\r\r[HKLM\\SOFTWARE\\Test] ; the test key\r\"V\"=\"x\"\r") << "x";
    QTest::newRow("a comment never goes on")
        << header + key + "; default folder C:\\Quorix\\\n\"V\"=\"kept\"\n"
        << "kept";
    QTest::newRow("key path with a trailing backslash (hivexregedit)")
        << header + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\]\n\"V\"=\"x\"\n"
        << "x";
    QTest::newRow("other hives and values before a key are skipped")
        << header + "\"V\"=\"early\"\n" + key +
               "\"V\"=\"right\"\n[HKEY_CURRENT_USER\\Test]\n\"V\"=\"wrong\"\n"
        << "right";
    QTest::newRow("joined exports, NUL and Ctrl-Z padding")
        << header + key + "\"V\"=\"first\"\n" + header + key + "\"V\"=\"second\"\n" +
               QByteArray("\x1a\0\0", 3)
        << "second";
    QTest::newRow("REGEDIT4 binary as UTF-16LE text")
        << "REGEDIT4\n\n" + key + "\"V\"=hex:31,00,30,00,2e,00,33,00\n"
        << "10.3";
    QTest::newRow("REGEDIT4 text types in 8-bit text")
        << "REGEDIT4\n\n" + key + "\"V\"=hex(2):41,42,00\n"
        << "AB";
    QTest::newRow("dword, signed as Qt reads it") << v + "dword:ffffffff\n"
                                                  << "-1";
    QTest::newRow("qword") << v + "hex(b):00,e4,0b,54,02,00,00,00\n"
                           << "10000000000";
    QTest::newRow("multi-string with one string") << v + "hex(7):61,00,00,00,00,00\n"
                                                  << "a";
    QTest::newRow("multi-string with two reads empty")
        << v + "hex(7):61,00,00,00,62,00,00,00,00,00\n"
        << "";
    QTest::newRow("continued hex lines") << v + "hex(2):43,00,\\\r\n  51,00,00,00\r\n"
                                         << "CQ";
}

void TestRegistryFile::dialects()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    RegistryFileResult result = parseRegistryExport(file);
    QVERIFY2(result.store, qPrintable(result.error.message));
    QCOMPARE(result.store->value(software, "v"), text);
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
        QVERIFY2(result.store, qPrintable(result.error.message));
        // Sorted by upper-case form, as Windows lists subkeys: "_" after letters.
        QCOMPARE(result.store->childKeys(software), QStringList({"Alpha", "beta", "k1", "_under",
                                                                 QString::fromUtf8("\xe2\x84\xaa"
                                                                                   "1")}));
        QVERIFY(!result.store->hasValue(software + "\\alpha", "A"));
        QCOMPARE(result.store->value(software + "\\alpha", "b"), QStringLiteral("2"));
        QCOMPARE(result.store->value(software + "\\alpha", ""), QStringLiteral("default"));
    }
}

void TestRegistryFile::rejectedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("no header") << QByteArray("[HKLM\\SOFTWARE]\n") << 1;
    QTest::newRow("odd UTF-16 length") << QByteArray("\xff\xfe\x57\x00\x69", 5) << 0;
    QTest::newRow("unclosed key") << header + "[HKLM\\SOFTWARE\n" << 3;
    QTest::newRow("unknown hive") << header + "[HKEY_NOWHERE\\X]\n" << 3;
    QTest::newRow("key deeper than the registry allows")
        << header + "[HKLM" + QByteArray(512 * 2, 'x').replace("xx", "\\x") + "]\n"
        << 3;
    QTest::newRow("text not closed at the end") << header + key + "\"A\"=\"1\n" << 4;
    QTest::newRow("unknown escape") << header + key + "\"A\"=\"a\\qb\"\n" << 4;
    QTest::newRow("text after value") << header + key + "\"A\"=\"1\" x\n" << 4;
    QTest::newRow("bad dword") << header + key + "\"A\"=dword:123456789\n" << 4;
    QTest::newRow("bad hex byte") << header + key + "\"A\"=hex:fffffffffff\n" << 4;
    QTest::newRow("short qword") << header + key + "\"A\"=hex(b):00,01\n" << 4;
    QTest::newRow("unknown data") << header + key + "\"A\"=42\n" << 4;
}

void TestRegistryFile::rejectedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    RegistryFileResult result = parseRegistryExport(bytes);
    QVERIFY(!result.store);
    QCOMPARE(result.error.line, line);
    QVERIFY(!result.error.message.isEmpty());
}

QTEST_GUILESS_MAIN(TestRegistryFile)
#include "tst_registryfile.moc"
