#include "registry/registryfile.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {
QByteArray utf16WithBom(const QString& text)
{
    QByteArray bytes("\xff\xfe", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

const char* const header = "Windows Registry Editor Version 5.00\n\n";
const QString software = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Test");
} // namespace

class TestRegistryFile : public QObject
{
    Q_OBJECT

private slots:
    void valueTexts_data();
    void valueTexts();
    void keysMatchWithoutCaseAndListInRegistryOrder();
    void shortHiveNamesAndMergedSections();
    void deletions();
    void continuedHexLines();
    void encodingsGiveTheSameResult_data();
    void encodingsGiveTheSameResult();
    void regedit4UsesEightBitText();
    void rejectedFiles_data();
    void rejectedFiles();
    void missingFileIsRejected();
    void errorTextNamesFileAndLine();
    void randomMutationsNeverCrash();
    void veryLongLine();
};

void TestRegistryFile::valueTexts_data()
{
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("text");

    QTest::newRow("string") << R"("C:\\Program Files\\Quorix")"
                            << R"(C:\Program Files\Quorix)";
    QTest::newRow("escaped quote") << R"("say \"hi\"")"
                                   << R"(say "hi")";
    QTest::newRow("empty string") << R"("")"
                                  << "";
    QTest::newRow("dword") << "dword:0000000a"
                           << "10";
    QTest::newRow("dword is signed as Qt reads it") << "dword:ffffffff"
                                                    << "-1";
    QTest::newRow("qword") << "hex(b):00,e4,0b,54,02,00,00,00"
                           << "10000000000";
    QTest::newRow("expand string") << "hex(2):25,00,41,00,25,00,00,00"
                                   << "%A%";
    QTest::newRow("sz as hex") << "hex(1):51,00,58,00,00,00"
                               << "QX";
    QTest::newRow("multi string, one entry") << "hex(7):61,00,00,00,00,00"
                                             << "a";
    QTest::newRow("multi string, two entries") << "hex(7):61,00,00,00,62,00,00,00,00,00"
                                               << "";
    QTest::newRow("binary as utf-16 text") << "hex:51,00,58,00"
                                           << "QX";
    QTest::newRow("empty binary") << "hex:"
                                  << "";
    QTest::newRow("umlaut") << R"("Grüße")"
                            << "Grüße";
}

void TestRegistryFile::valueTexts()
{
    QFETCH(QString, data);
    QFETCH(QString, text);
    const QString file = QString::fromLatin1(header) + "[" + software + "]\n\"V\"=" + data + "\n";
    RegistryFileResult result = parseRegistryExport(file.toUtf8());
    QVERIFY2(result.store, qPrintable(result.error.message));
    QVERIFY(result.store->hasValue(software, "V"));
    QCOMPARE(result.store->value(software, "V"), text);
}

void TestRegistryFile::keysMatchWithoutCaseAndListInRegistryOrder()
{
    const QByteArray file = QByteArray(header) + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\beta]\n"
                                                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\Alpha]\n"
                                                 "\"InstallDir\"=\"x\"\n"
                                                 "@=\"default\"\n"
                                                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\_under]\n"
                                                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\Zeta]\n";
    RegistryFileResult result = parseRegistryExport(file);
    QVERIFY(result.store);
    // Sorted by upper-case form, as Windows lists subkeys: "_" sorts after letters.
    QCOMPARE(result.store->childKeys("hkey_local_machine\\software\\TEST"),
             QStringList({"Alpha", "beta", "Zeta", "_under"}));
    QVERIFY(result.store->hasValue(software + "\\ALPHA", "installdir"));
    QCOMPARE(result.store->value(software + "\\alpha", ""), QStringLiteral("default"));
    QVERIFY(!result.store->hasValue(software + "\\alpha", "Missing"));
    QCOMPARE(result.store->value(software + "\\alpha", "Missing"), QString());
    QCOMPARE(result.store->childKeys(software + "\\nothing"), QStringList());
    QCOMPARE(result.store->childKeys(QString()), QStringList());
}

void TestRegistryFile::shortHiveNamesAndMergedSections()
{
    const QByteArray file = QByteArray(header) +
                            "[HKLM\\SOFTWARE\\Test]\n\"A\"=\"1\"\n"
                            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"B\"=\"2\"\n"
                            "[hklm\\software\\test]\n\"A\"=\"3\"\n";
    RegistryFileResult result = parseRegistryExport(file);
    QVERIFY(result.store);
    QCOMPARE(result.store->value(software, "A"), QStringLiteral("3"));
    QCOMPARE(result.store->value(software, "B"), QStringLiteral("2"));
    QCOMPARE(result.store->value("HKLM\\SOFTWARE\\Test", "B"), QStringLiteral("2"));
}

void TestRegistryFile::deletions()
{
    const QByteArray file = QByteArray(header) +
                            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\Keep]\n\"A\"=\"1\"\n\"B\"=\"2\"\n"
                            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\Gone\\Child]\n\"C\"=\"3\"\n"
                            "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\Gone]\n"
                            "\"Ignored\"=\"under a deleted key\"\n"
                            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\Keep]\n\"A\"=-\n";
    RegistryFileResult result = parseRegistryExport(file);
    QVERIFY2(result.store, qPrintable(result.error.message));
    QCOMPARE(result.store->childKeys(software), QStringList({"Keep"}));
    QVERIFY(!result.store->hasValue(software + "\\Keep", "A"));
    QCOMPARE(result.store->value(software + "\\Keep", "B"), QStringLiteral("2"));
    QVERIFY(!result.store->hasValue(software + "\\Gone\\Child", "C"));

    RegistryFileResult wholeHive = parseRegistryExport(
        QByteArray(header) + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"A\"=\"1\"\n[-HKLM]\n");
    QVERIFY(wholeHive.store);
    QVERIFY(!wholeHive.store->hasValue(software, "A"));
}

void TestRegistryFile::continuedHexLines()
{
    const QByteArray file = QByteArray(header) + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n"
                                                 "\"Path\"=hex(2):43,00,3a,00,5c,00,\\\r\n"
                                                 "  51,00,00,00\r\n"
                                                 "\"Next\"=\"after\"\r\n";
    RegistryFileResult result = parseRegistryExport(file);
    QVERIFY2(result.store, qPrintable(result.error.message));
    QCOMPARE(result.store->value(software, "Path"), QStringLiteral("C:\\Q"));
    QCOMPARE(result.store->value(software, "Next"), QStringLiteral("after"));
}

void TestRegistryFile::encodingsGiveTheSameResult_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n"
                                        "\"Name\"=\"Größe €\"\r\n");
    QTest::newRow("utf-16le with bom, crlf") << utf16WithBom(text);
    QTest::newRow("utf-8 with bom, crlf") << QByteArray("\xef\xbb\xbf") + text.toUtf8();
    QTest::newRow("utf-8, lf") << QString(text).replace("\r\n", "\n").toUtf8();
}

void TestRegistryFile::encodingsGiveTheSameResult()
{
    QFETCH(QByteArray, bytes);
    RegistryFileResult result = parseRegistryExport(bytes);
    QVERIFY2(result.store, qPrintable(result.error.message));
    QCOMPARE(result.store->value(software, "Name"), QStringLiteral("Größe €"));
}

void TestRegistryFile::regedit4UsesEightBitText()
{
    const QByteArray file = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n"
                            "\"Name\"=\"Gr\xf6\xdf"
                            "e\"\r\n\"Expand\"=hex(2):41,42,00\r\n";
    RegistryFileResult result = parseRegistryExport(file);
    QVERIFY2(result.store, qPrintable(result.error.message));
    QCOMPARE(result.store->value(software, "Name"), QStringLiteral("Größe"));
    QCOMPARE(result.store->value(software, "Expand"), QStringLiteral("AB"));
}

void TestRegistryFile::rejectedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");

    const QByteArray key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n";
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("no header") << QByteArray("[HKLM\\SOFTWARE]\n") << 1;
    QTest::newRow("wrong version") << QByteArray("Windows Registry Editor Version 4.00\n") << 1;
    QTest::newRow("binary junk") << QByteArray("\x00\x01\x02\xff\xfe\x80garbage", 12) << 0;
    QTest::newRow("odd utf-16 length") << QByteArray("\xff\xfe\x57\x00\x69", 5) << 0;
    QTest::newRow("invalid utf-8") << QByteArray(header) + "\"\xc3(\"" << 0;
    QTest::newRow("unknown hive") << QByteArray(header) + "[HKEY_NOWHERE\\X]\n" << 3;
    QTest::newRow("unclosed key") << QByteArray(header) + "[HKLM\\SOFTWARE\n" << 3;
    QTest::newRow("empty key component") << QByteArray(header) + "[HKLM\\\\SOFTWARE]\n" << 3;
    QTest::newRow("value before key") << QByteArray(header) + "\"A\"=\"1\"\n" << 3;
    QTest::newRow("unclosed quote") << QByteArray(header) + key + "\"A\"=\"1\n" << 4;
    QTest::newRow("unknown escape") << QByteArray(header) + key + "\"A\"=\"a\\nb\"\n" << 4;
    QTest::newRow("missing equals") << QByteArray(header) + key + "\"A\" \"1\"\n" << 4;
    QTest::newRow("text after value") << QByteArray(header) + key + "\"A\"=\"1\" x\n" << 4;
    QTest::newRow("bad dword") << QByteArray(header) + key + "\"A\"=dword:xyz\n" << 4;
    QTest::newRow("long dword") << QByteArray(header) + key + "\"A\"=dword:123456789\n" << 4;
    QTest::newRow("bad hex byte") << QByteArray(header) + key + "\"A\"=hex:0g\n" << 4;
    QTest::newRow("three-digit byte") << QByteArray(header) + key + "\"A\"=hex:100\n" << 4;
    QTest::newRow("bad hex type") << QByteArray(header) + key + "\"A\"=hex(zz):00\n" << 4;
    QTest::newRow("short qword") << QByteArray(header) + key + "\"A\"=hex(b):00,01\n" << 4;
    QTest::newRow("unknown data") << QByteArray(header) + key + "\"A\"=42\n" << 4;
    QTest::newRow("stray text") << QByteArray(header) + key + "hello\n" << 4;
    QTest::newRow("line after continuation") << QByteArray(header) + key + "\"A\"=hex:00,\\\n  zz\n"
                                             << 4;
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

void TestRegistryFile::missingFileIsRejected()
{
    RegistryFileResult result = loadRegistryExport(QStringLiteral("/no/such/machine.reg"));
    QVERIFY(!result.store);
    QVERIFY(result.error.message.startsWith(QStringLiteral("the file cannot be opened")));
}

void TestRegistryFile::errorTextNamesFileAndLine()
{
    QCOMPARE(registryFileErrorText("m.reg", {4, "a quoted text is not closed"}),
             QStringLiteral(
                 "The registry export m.reg cannot be read: line 4: a quoted text is not closed."));
    QCOMPARE(registryFileErrorText("m.reg", {0, "the file is empty"}),
             QStringLiteral("The registry export m.reg cannot be read: the file is empty."));
}

// Thousands of damaged copies of a valid export: each is either read whole or
// rejected with a line number inside the file; none crashes or hangs.
void TestRegistryFile::randomMutationsNeverCrash()
{
    QFile example(QStringLiteral(SKYVANE_SOURCE_DIR "/examples/machine.reg"));
    QVERIFY(example.open(QIODevice::ReadOnly));
    const QByteArray original = example.readAll();
    const QList<QByteArray> variants{original, utf16WithBom(QString::fromUtf8(original))};
    QRandomGenerator random(42);
    int rejected = 0;
    for (int i = 0; i < 3000; ++i) {
        QByteArray bytes = variants.at(i % 2);
        const int edits = 1 + int(random.bounded(4));
        for (int e = 0; e < edits; ++e) {
            const int position = int(random.bounded(bytes.size()));
            switch (random.bounded(4)) {
            case 0:
                bytes[position] = char(random.bounded(256));
                break;
            case 1:
                bytes.remove(position, 1 + int(random.bounded(8)));
                break;
            case 2:
                bytes.insert(position, char(random.bounded(256)));
                break;
            default:
                bytes.truncate(position);
                break;
            }
            if (bytes.isEmpty())
                break;
        }
        RegistryFileResult result = parseRegistryExport(bytes);
        if (!result.store) {
            ++rejected;
            QVERIFY(!result.error.message.isEmpty());
            QVERIFY(result.error.line >= 0 && result.error.line <= bytes.count('\n') + 1);
        }
    }
    QVERIFY(rejected > 0);
}

void TestRegistryFile::veryLongLine()
{
    QByteArray file = QByteArray(header) + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"Big\"=hex:";
    const int bytes = 2 * 1024 * 1024;
    file.reserve(file.size() + bytes * 3 + 16);
    for (int i = 0; i < bytes; ++i)
        file.append(i % 2 ? "00," : "41,");
    file.append("00\n");
    RegistryFileResult result = parseRegistryExport(file);
    QVERIFY2(result.store, qPrintable(result.error.message));
    QCOMPARE(result.store->value(software, "Big").size(), bytes / 2);

    QByteArray junk(4 * 1024 * 1024, 'x');
    RegistryFileResult rejected = parseRegistryExport(QByteArray(header) + junk);
    QVERIFY(!rejected.store);
    QCOMPARE(rejected.error.line, 3);
}

QTEST_GUILESS_MAIN(TestRegistryFile)
#include "tst_registryfile.moc"
