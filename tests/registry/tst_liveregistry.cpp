// The live-registry layer under Wine against the registry export reader: each
// fixture goes into a throw-away Wine prefix with "reg import", and the
// Windows program's view of the registry must be the export reader's view of
// the same file (subkeys in order, values read as text). A key written only
// to the 32-bit view must stay unseen.

#include "machinebuilder.h"

#include <QtTest>

class TestLiveRegistry : public QObject
{
    Q_OBJECT

    QTemporaryDir work;
    QTemporaryDir installRoot;
    const QStringList roots{"VANDRY", "VANDRY_CALDER", "VandryFoundry", "VandryRouteKeying",
                            "Microsoft\\Windows\\CurrentVersion\\Uninstall"};

    QString wine(const QStringList& arguments)
    {
        QProcess process;
        process.setWorkingDirectory(work.path());
        process.start("wine", arguments);
        process.waitForFinished(120000);
        // Standard output of a Windows program ends its lines with CRLF.
        return QString::fromUtf8(process.readAllStandardOutput()).remove('\r');
    }
    // What "windows_layers dump" prints, from the export reader's store.
    static QString dumpOf(const RegistryFileStore& store, const QString& top)
    {
        QString out;
        QStringList pending{top};
        while (!pending.isEmpty()) {
            const QString key = pending.takeLast();
            QStringList names = store.valueNames(key);
            std::sort(names.begin(), names.end());
            out += '[' + key + "]\n";
            for (const QString& name : names)
                out += '"' + name + "\"=" + store.value(key, name) + '\n';
            const QStringList subkeys = store.childKeys(key);
            for (auto it = subkeys.rbegin(); it != subkeys.rend(); ++it)
                pending << key + '\\' + *it;
        }
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!QStandardPaths::findExecutable("wine").isEmpty(), "run scripts/setup.sh");
        qputenv("WINEPREFIX", work.filePath("prefix").toLocal8Bit());
        qputenv("WINEDEBUG", "-all");
        QVERIFY(QFile::copy(SKYVANE_WINDOWS_LAYERS, work.filePath("windows_layers.exe")));
        QFile only32(work.filePath("only32.reg"));
        QVERIFY(only32.open(QIODevice::WriteOnly));
        only32.write("Windows Registry Editor Version 5.00\r\n\r\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\VANDRY\\Only32]\r\n\"A\"=\"b\"\r\n");
    }
    void cleanupTestCase() { QProcess::execute("wineserver", {"-k"}); }

    void sameViewAsTheExportReader_data()
    {
        QTest::addColumn<QByteArray>("file");
        QDir machines(QStringLiteral(SKYVANE_TEST_DATA "/machines"));
        for (const QString& name : machines.entryList({"*.txt"})) {
            QFile text(machines.filePath(name));
            QVERIFY(text.open(QIODevice::ReadOnly));
            QTest::newRow(qPrintable(name))
                << MachineBuilder(QString::fromUtf8(text.readAll()), installRoot.path())
                       .exportText(MachineBuilder::dialects().first());
        }
        QFile types(QStringLiteral(SKYVANE_TEST_DATA "/live-registry.reg"));
        QVERIFY(types.open(QIODevice::ReadOnly));
        QTest::newRow("value types") << types.readAll();
    }
    void sameViewAsTheExportReader()
    {
        QFETCH(QByteArray, file);
        QFile machine(work.filePath("machine.reg"));
        QVERIFY(machine.open(QIODevice::WriteOnly) && machine.write(file) == file.size());
        machine.close();
        QString commands;
        QStringList keys;
        for (const QString& root : roots) {
            keys << "HKEY_LOCAL_MACHINE\\SOFTWARE\\" + root;
            commands += "reg delete " + keys.last() + " /f & ";
        }
        wine({"cmd", "/c", commands + "reg import machine.reg & reg import only32.reg /reg:32"});
        const RegistryFileResult exported = parseRegistryExport(file);
        QVERIFY2(exported.store, qPrintable(exported.error.message));
        QString expected;
        for (const QString& key : keys)
            expected += dumpOf(*exported.store, key);
        QCOMPARE(wine(QStringList{"windows_layers.exe", "dump"} + keys), expected);
    }

    void consoleWriterGivesUtf8ToAPipe()
    {
        QCOMPARE(wine({"windows_layers.exe", "console"}),
                 QStringLiteral("Zelvan für Quorix – Größe € \U0001F600"));
    }
};

QTEST_GUILESS_MAIN(TestLiveRegistry)
#include "tst_liveregistry.moc"
