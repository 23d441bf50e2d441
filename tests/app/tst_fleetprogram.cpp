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

private:
    ProgramRun run(const QStringList& arguments) { return runProgram(config->path(), arguments); }
    PatchServer server;
    std::unique_ptr<QTemporaryDir> config;
};

QTEST_GUILESS_MAIN(TestFleetProgram)
#include "tst_fleetprogram.moc"
