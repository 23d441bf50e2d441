// Runs the built program over fleets of exports: no entry of a folder is left
// out of the report, whatever it is, and a list that names nothing is a
// problem of the list in every machine-readable output.

#include "patchserver.h"
#include "programrun.h"

#include <QtTest>

class TestFleetProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(server.listen());
        server.serveDirectory(QStringLiteral(SKYVANE_SOURCE_DIR "/examples/server"));
        server.setResponse("/empty.json", PatchServer::Response::with(200, R"({"Product": []})"));
    }
    void init()
    {
        config = std::make_unique<QTemporaryDir>();
        QVERIFY(config->isValid());
    }
    void fleetLeavesNoMachineOut_data()
    {
        QTest::addColumn<QString>("make"); // a shell command run in the folder, beside good.reg
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("output");
        const QString unknown = "SKYVANE UNKNOWN - 2 machines: 0 critical, 0 warning, 1 unknown, "
                                "1 ok|";
        const std::pair<const char*, const char*> kinds[] = {
            {"broken link", "ln -s nothing bad.reg"},
            {"looping link", "ln -s bad.reg bad.reg"},
            {"FIFO", "mkfifo bad.reg"},
            {"socket",
             "python3 -c \"import socket; socket.socket(socket.AF_UNIX).bind('bad.reg')\""},
            {"device", "mknod bad.reg c 1 3"},
            {"folder", "mkdir bad.reg"},
            {"upper-case suffix", "ln -s nothing bad.REG"}};
        for (const auto& [kind, make] : kinds)
            QTest::newRow(kind) << make << "nagios" << 3
                                << QStringList{unknown,
                                               "\nbad: UNKNOWN - registry export unreadable"};
        // Bytes 0xFF and 0xFE, neither of them UTF-8: two machines all the same.
        QTest::newRow("names that are no UTF-8, kept apart")
            << "mv good.reg \"$(printf '\\377').reg\" && cp \"$(printf '\\377').reg\" "
               "\"$(printf '\\376').reg\""
            << "nagios" << 0
            << QStringList{"SKYVANE OK - 2 machines", "\n\uFFFD: OK", "/fleet/\uFFFD.reg: OK"};
        QTest::newRow("the same folder twice: read once")
            << "TWICE"
            << "nagios" << 0 << QStringList{"SKYVANE OK - 1 machine:"};
        QTest::newRow("empty folder: nagios")
            << "rm good.reg"
            << "nagios" << 3
            << QStringList{"SKYVANE UNKNOWN - 1 machine: 0 critical, 0 warning, 1 unknown, 0 ok|"};
        for (const char* format : {"json", "prometheus", "html"})
            QTest::newRow(qPrintable(QStringLiteral("empty folder: ") + format))
                << "rm good.reg" << format << 1
                << QStringList{format == QLatin1String("prometheus")
                                   ? "skyvane_status_code{machine=\"fleet\"} 1"
                                   : "holds no registry exports (*.reg)"};
    }
    void fleetLeavesNoMachineOut()
    {
        QFETCH(QString, make);
        QFETCH(QString, format);
        QFETCH(int, exitCode);
        QFETCH(QStringList, output);
        const QString folder = config->filePath("fleet");
        QVERIFY(
            QDir().mkpath(folder) &&
            QFile::copy(SKYVANE_SOURCE_DIR "/examples/fleet/mail-03.reg", folder + "/good.reg"));
        QProcess shell;
        shell.setWorkingDirectory(folder);
        shell.start("sh", {"-c", make == "TWICE" ? QString() : make});
        if (!shell.waitForFinished() || shell.exitCode() != 0)
            QSKIP("this kind of entry cannot be made here");
        QStringList arguments{"/f",   format, "/r",
                              folder, "/u",   server.url("/sky_vane/patches.json")};
        if (make == "TWICE")
            arguments << "/r" << folder + "/";
        const ProgramRun result = run(arguments);
        for (const QString& text : output)
            QVERIFY2(result.out.contains(text), qPrintable(text + " in:\n" + result.out));
        QCOMPARE(result.exitCode, exitCode);
    }

    // The installer's machine-wide list address and proxy serve accounts
    void emptyListIsAListProblem_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        const QString named = "patch list invalid: the list names no patches";
        QTest::newRow("nagios") << QStringList{"/f", "nagios"} << 3 << "SKYVANE UNKNOWN - " + named;
        QTest::newRow("json") << QStringList{"/f", "json"} << 0
                              << "\"problem\": \"the list names no patches\"";
        QTest::newRow("prometheus") << QStringList{"/f", "prometheus"} << 0
                                    << "skyvane_patch_list_state{state=\"invalid\"} 1";
        QTest::newRow("fleet") << QStringList{"/f", "nagios", "/r", "examples/fleet"} << 3
                               << "mail-03: UNKNOWN - " + named;
        QTest::newRow("console: as it always was")
            << QStringList{"/c"} << 0 << "Installed products:";
    }
    void emptyListIsAListProblem()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        if (!arguments.contains("/r"))
            arguments << "/r"
                      << "examples/machine.reg";
        const ProgramRun result =
            runProgram(config->path(), arguments << "/u" << server.url("/empty.json"));
        QVERIFY2(result.out.contains(output), qPrintable(result.out));
        QCOMPARE(result.exitCode, exitCode);
    }

    // How old an export is and what it holds, told in every format; time is
    // the check's (SKYVANE_NOW) against the file's, both set here.
    void exportCoverageAndAge_data()
    {
        // "vendor", "uninstall", "vendor uninstall", "other"; "32": in the 32-bit view
        QTest::addColumn<QString>("trees");
        QTest::addColumn<int>("ageHours");      // of the file, before the check
        QTest::addColumn<QStringList>("extra"); // switches, "/f FORMAT" first
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("output");
        const QStringList nagios{"/f", "nagios"};
        const auto row = [](const char* name, const char* trees, int ageHours,
                            const QStringList& extra, int exitCode, const QStringList& output) {
            QTest::newRow(name) << trees << ageHours << extra << exitCode << output;
        };
        const char* both = "vendor uninstall";
        row("fresh: its age told", both, 30, nagios, 0,
            {"SKYVANE OK - no updates missing|", "\nExport: 1 days old\n"});
        row("stale by the default of three days", both, 4 * 24 + 1, nagios, 3,
            {"SKYVANE UNKNOWN - export is 4 days old|"});
        row("no bound with /maxage 0", both, 400 * 24, nagios + QStringList{"/maxage", "0"}, 0,
            {"SKYVANE OK - ", "Export: 400 days old"});
        row("three and a half days are three: within the default", both, 3 * 24 + 12, nagios, 0,
            {"Export: 3 days old"});
        row("within a bound of its own", both, 4 * 24 + 1, nagios + QStringList{"/maxage", "5"}, 0,
            {"SKYVANE OK - "});
        row("a file from ahead of the check is new", both, -5, nagios, 0, {"Export: 0 days old"});
        row("only the list of installed software: a machine without products", "uninstall", 1,
            nagios, 0, {"SKYVANE OK - no updates missing|"});
        row("none of the trees", "other", 1, nagios, 3,
            {"SKYVANE UNKNOWN - export holds nothing Skyvane reads|"});
        row("no list of installed software: the state kept, the gap told", "vendor", 1, nagios, 0,
            {"SKYVANE OK - ",
             "Export: 0 days old; the export holds no list of installed software"});
        row("json", "vendor", 50, {"/f", "json"}, 0,
            {"\"ageSeconds\": 180000,", "\"installedSoftware\": false,",
             "\"note\": \"the export holds no list of installed software"});
        row("prometheus", both, 50, {"/f", "prometheus"}, 0,
            {"\nskyvane_export_age_seconds 180000\n"});
        row("html", "vendor", 1, {"/f", "html"}, 0,
            {"up to date, partial export", "<p class=\"error\">the export holds no list"});
        row("the 32-bit view's trees are read as the 64-bit view's", "vendor uninstall 32", 1,
            {"/f", "json"}, 0,
            {"\"installedSoftware\": true,", "\"vendorTrees\": true",
             "\"installDir\": \"C:\\\\Zelvan\""});
        row("fleet on the console", both, 5 * 24, {"FLEET"}, 0, {"  5  export too old\n"});
        row("maxage must be whole days", both, 1, nagios + QStringList{"/maxage", "x"}, 1,
            {"/maxage takes a whole number of days from 0 up, not \"x\"."});
    }
    void exportCoverageAndAge()
    {
        QFETCH(QString, trees);
        QFETCH(int, ageHours);
        QFETCH(QStringList, extra);
        QFETCH(int, exitCode);
        QFETCH(QStringList, output);
        const QDateTime checkedAt(QDate(2026, 12, 6), QTime(12, 0), Qt::UTC);
        QByteArray text = "Windows Registry Editor Version 5.00\r\n\r\n";
        const QByteArray software = trees.contains("32")
                                        ? "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\"
                                        : "[HKEY_LOCAL_MACHINE\\SOFTWARE\\";
        if (trees.contains("vendor"))
            text += software + "VANDRY\\Zelvan for Quorix]\r\n"
                               "\"Version\"=\"10.3\"\r\n\"InstallDir\"=\"C:\\\\Zelvan\"\r\n\r\n";
        if (trees.contains("uninstall"))
            text += software + "Microsoft\\Windows\\CurrentVersion\\"
                               "Uninstall\\7-Zip]\r\n\"DisplayName\"=\"7-Zip\"\r\n\r\n";
        if (trees == "other")
            text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n\"V\"=\"1\"\r\n";
        const QString folder = config->filePath("fleet");
        QFile file(folder + "/web-09.reg");
        QVERIFY(QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) &&
                file.write(text) == text.size() && file.flush());
        QVERIFY(file.setFileTime(checkedAt.addSecs(-ageHours * 3600LL),
                                 QFileDevice::FileModificationTime));
        file.close();
        const QStringList machine = extra == QStringList{"FLEET"}
                                        ? QStringList{"/c", "/r", folder}
                                        : extra + QStringList{"/r", file.fileName()};
        const ProgramRun result = runProgram(
            config->path(), machine + QStringList{"/u", server.url("/sky_vane/patches.json")},
            {"SKYVANE_NOW=" + checkedAt.toString(Qt::ISODate)});
        for (const QString& expected : output)
            QVERIFY2(result.out.contains(expected) || result.err.contains(expected),
                     qPrintable(expected + " in:\n" + result.out + result.err));
        QCOMPARE(result.exitCode, exitCode);
    }

private:
    ProgramRun run(const QStringList& arguments) { return runProgram(config->path(), arguments); }
    PatchServer server;
    std::unique_ptr<QTemporaryDir> config;
};

QTEST_GUILESS_MAIN(TestFleetProgram)
#include "tst_fleetprogram.moc"
