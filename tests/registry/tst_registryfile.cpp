#include "registry/registryfile.h"

#include <QtTest>

namespace {
const QByteArray header = "Windows Registry Editor Version 5.00\n\n";
const QByteArray key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n";
const QString software = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Test");

QByteArray utf16WithBom(const QString& text)
{
    return QByteArray("\xff\xfe", 2) +
           QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}
} // namespace

class TestRegistryFile : public QObject
{
    Q_OBJECT

private slots:
    void valueTexts_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        const QByteArray v5 = header + key + "\"V\"=";
        QTest::newRow("string with escapes") << v5 + "\"C:\\\\Q \\\"x\\\"\""
                                             << "C:\\Q \"x\"";
        QTest::newRow("dword, signed as Qt reads it") << v5 + "dword:ffffffff"
                                                      << "-1";
        QTest::newRow("qword") << v5 + "hex(b):00,e4,0b,54,02,00,00,00"
                               << "10000000000";
        QTest::newRow("expandable string, unexpanded") << v5 + "hex(2):25,00,41,00,25,00,00,00"
                                                       << "%A%";
        QTest::newRow("multi-string with one string") << v5 + "hex(7):61,00,00,00,00,00"
                                                      << "a";
        QTest::newRow("multi-string with two reads empty")
            << v5 + "hex(7):61,00,00,00,62,00,00,00,00,00"
            << "";
        QTest::newRow("binary as UTF-16LE text") << v5 + "hex:51,00,58,00"
                                                 << "QX";
        QTest::newRow("continued hex lines") << v5 + "hex(2):43,00,\\\r\n  51,00,00,00\r\n"
                                             << "CQ";
        QTest::newRow("UTF-16LE with BOM, CRLF")
            << utf16WithBom(QString::fromUtf8(v5 + "\"Größe €\"\n").replace("\n", "\r\n"))
            << "Größe €";
        QTest::newRow("UTF-8 with BOM") << "\xef\xbb\xbf" + v5 + "\"Größe €\""
                                        << "Größe €";
        QTest::newRow("REGEDIT4 in 8-bit text") << "REGEDIT4\n\n" + key +
                                                       "\"V\"=\"Gr\xf6\xdf"
                                                       "e\""
                                                << "Größe";
    }
    void valueTexts()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        RegistryFileResult result =
            parseRegistryExport(file.startsWith("\xff\xfe") ? file : file + "\n");
        QVERIFY2(result.store, qPrintable(result.error.message));
        QCOMPARE(result.store->value(software, "v"), text);
    }
    void keysMergeDeleteAndListInRegistryOrder()
    {
        RegistryFileResult result =
            parseRegistryExport(header + "[HKLM\\SOFTWARE\\Test\\beta]\n"
                                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\_under]\n"
                                         "[hklm\\software\\test\\Alpha]\n\"A\"=\"1\"\n"
                                         "[HKLM\\SOFTWARE\\Test\\ALPHA]\n\"B\"=\"2\"\n"
                                         "@=\"default\"\n\"A\"=-\n"
                                         "[HKLM\\SOFTWARE\\Test\\Gone\\Child]\n"
                                         "[-HKLM\\SOFTWARE\\Test\\Gone]\n");
        QVERIFY2(result.store, qPrintable(result.error.message));
        // Sorted by upper-case form, as Windows lists subkeys: "_" after letters.
        QCOMPARE(result.store->childKeys(software), QStringList({"Alpha", "beta", "_under"}));
        QVERIFY(!result.store->hasValue(software + "\\alpha", "A"));
        QCOMPARE(result.store->value(software + "\\alpha", "b"), QStringLiteral("2"));
        QCOMPARE(result.store->value(software + "\\alpha", ""), QStringLiteral("default"));
    }
    void rejectedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::newRow("empty file") << QByteArray() << 0;
        QTest::newRow("no header") << QByteArray("[HKLM\\SOFTWARE]\n") << 1;
        QTest::newRow("odd UTF-16 length") << QByteArray("\xff\xfe\x57\x00\x69", 5) << 0;
        QTest::newRow("unclosed key") << header + "[HKLM\\SOFTWARE\n" << 3;
        QTest::newRow("unclosed quote") << header + key + "\"A\"=\"1\n" << 4;
        QTest::newRow("text after value") << header + key + "\"A\"=\"1\" x\n" << 4;
        QTest::newRow("bad dword") << header + key + "\"A\"=dword:123456789\n" << 4;
        QTest::newRow("bad hex byte") << header + key + "\"A\"=hex:0g\n" << 4;
        QTest::newRow("short qword") << header + key + "\"A\"=hex(b):00,01\n" << 4;
        QTest::newRow("unknown data") << header + key + "\"A\"=42\n" << 4;
    }
    void rejectedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        RegistryFileResult result = parseRegistryExport(bytes);
        QVERIFY(!result.store);
        QCOMPARE(result.error.line, line);
        QVERIFY(!result.error.message.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRegistryFile)
#include "tst_registryfile.moc"
