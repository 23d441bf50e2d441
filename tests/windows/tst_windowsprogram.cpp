// The Windows program as its users get it: the MSI installed with msiexec in
// a throw-away Wine prefix, the installed skyvane.com run against machines
// imported into the prefix's registry and the loopback patch server, and
// compared with what the Linux build prints for the same export.

#include "patchserver.h"
#include "programrun.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTcpServer>
#include <QtTest>

namespace {
struct Run
{
    int exitCode = -1;
    QString out; // line ends as Linux writes them
};

// A registry export's text, whichever encoding regedit wrote it in.
QString exportText(const QString& file)
{
    QFile source(file);
    if (!source.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = source.readAll();
    return bytes.startsWith("\xff\xfe") ? QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2))
                                        : QString::fromUtf8(bytes);
}
} // namespace

class TestWindowsProgram : public QObject
{
    Q_OBJECT

    QTemporaryDir work;
    PatchServer server;
    PatchServer untrusted;
    const QString installed = QStringLiteral("C:\\Program Files\\Skyvane\\");

    QString prefixPath(const QString& windowsPath) const
    {
        QString path = windowsPath;
        const QString drive = path.left(1).toLower();
        path.replace('\\', '/');
        return work.filePath("prefix/dosdevices/" + drive + ":" + path.mid(2));
    }

    // A Windows program under Wine, while this process's loopback server answers.
    Run wine(const QStringList& arguments, const QStringList& environment = {})
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("SKYVANE_NOW", "2026-12-06T12:00:00Z"); // as the Linux runs have it
        for (const QString& assignment : environment)
            env.insert(assignment.section('=', 0, 0), assignment.section('=', 1));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(work.path());
        process.start("wine", arguments);
        if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 180000))
            process.kill();
        process.waitForFinished(5000);
        return {process.exitCode(),
                QString::fromUtf8(process.readAllStandardOutput()).remove('\r')};
    }
    Run skyvane(const QStringList& arguments, const QStringList& environment = {})
    {
        return wine(QStringList{installed + "skyvane.com"} + arguments, environment);
    }
    QString regQuery(const QString& key) { return wine({"reg", "query", key}).out; }

    // Imports a machine's export, with its install folders made on their drives;
    // into the 32-bit view of the registry, which Skyvane must not read, with view32.
    void importMachine(const QString& file, bool view32)
    {
        static const QRegularExpression folder("\"InstallDir\"=\"([A-Za-z]:\\\\[^\"]*)\"");
        for (const auto& match : folder.globalMatch(exportText(file)))
            QVERIFY(QDir().mkpath(prefixPath(match.captured(1).replace("\\\\", "\\"))));
        QVERIFY(QFile::copy(file, work.filePath("machine.reg")));
        QCOMPARE(wine({"reg", "import", "machine.reg", view32 ? "/reg:32" : "/reg:64"}).exitCode,
                 0);
        // Its keys go again after the test, so that every row has its own machine.
        QString removal = "Windows Registry Editor Version 5.00\r\n\r\n";
        static const QRegularExpression key("^\\[(HKEY_[^\\]]+)\\]\r?$",
                                            QRegularExpression::MultilineOption);
        for (const auto& match : key.globalMatch(exportText(file)))
            removal += "[-" + match.captured(1) + "]\r\n";
        QFile undo(work.filePath("undo.reg"));
        QVERIFY(undo.open(QIODevice::WriteOnly) && undo.write(removal.toUtf8()) > 0);
    }

private slots:
    void initTestCase()
    {
        qputenv("WINEPREFIX", work.filePath("prefix").toLocal8Bit());
        qputenv("WINEDEBUG", "-all");
        QVERIFY(server.listen());
        server.serveDirectory(QStringLiteral(SKYVANE_SOURCE_DIR "/examples/server"));
        const QString tls = QStringLiteral(SKYVANE_TEST_DATA "/tls/");
        QVERIFY(untrusted.listenTls(tls + "selfsigned.crt", tls + "selfsigned.key"));
        untrusted.setResponse("/list", PatchServer::Response::with(200, "{\"Product\": []}"));
        // Installed as an administrator installs it, with a machine-wide list
        // address and the tray check at log-on.
        QVERIFY(QFile::copy(SKYVANE_WINDOWS_MSI, work.filePath("skyvane.msi")));
        QCOMPARE(wine({"msiexec", "/i", "skyvane.msi", "/qn",
                       "LISTURL=" + server.url("/sky_vane/patches.json"), "TRAYATLOGON=1"})
                     .exitCode,
                 0);
        QVERIFY(QFile::exists(prefixPath(installed + "skyvane.exe")));
        QVERIFY(regQuery("HKLM\\Software\\Vandry\\Skyvane\\Startup").contains(server.url("/")));
        QVERIFY(regQuery("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run")
                    .contains("skyvane.exe\" /i"));
    }
    void cleanup()
    {
        if (QFile::exists(work.filePath("undo.reg")))
            wine({"reg", "import", "undo.reg"});
        QFile::remove(work.filePath("undo.reg"));
        QFile::remove(work.filePath("machine.reg"));
    }

    void runs_data()
    {
        QTest::addColumn<QString>("machine"); // an export of the example fleet (":32": 32-bit view)
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<int>("exitCode");
        // "LINUX": what the Linux build prints, else a part ("!": a part never printed).
        QTest::addColumn<QString>("output");
        const auto row = [](const char* name, const char* machine, const QStringList& arguments,
                            int exitCode, const QString& output,
                            const QStringList& environment = {}) {
            QTest::newRow(name) << QString(machine) << arguments << environment << exitCode
                                << output;
        };
        for (const char* machine : {"app-server-01", "mail-03", "print-04"})
            row(qPrintable(QStringLiteral("report: %1").arg(machine)), machine,
                {"/c", "/u", "LIST"}, 0, "LINUX");
        row("the machine-wide list address", "app-server-01", {"/c"}, 0, "LINUX");
        row("json", "app-server-01", {"/f", "json", "/u", "LIST"}, 0, "\"machine\": ");
        row("nagios: a security patch missing", "app-server-01", {"/f", "nagios", "/u", "LIST"}, 2,
            "SKYVANE CRITICAL - 2 updates missing (1 security, oldest ");
        row("a machine only in the 32-bit view is not read", "app-server-01:32",
            {"/c", "/u", "LIST"}, 0, "!Quorix 10.3 for Server");
        row("German, in UTF-8 through a pipe", "app-server-01", {"/c", "/u", "LIST"}, 0,
            " Folgende Updates sind verfügbar:\n", {"LANG=de_DE.UTF-8", "LC_ALL=de_DE.UTF-8"});
        row("https refuses a certificate nobody signed", "", {"/c", "/u", "UNTRUSTED"}, 3,
            "<<<< An error occurred: the certificate of 127.0.0.1 is not trusted: ");
        row("the log", "print-04", {"/c", "/u", "LIST", "/l", "C:\\skyvane.log"}, 0, "LOG");
        // cmd runs the console twin for "skyvane", waits for it and sets ERRORLEVEL.
        row("cmd waits and takes the exit code", "", {"CMD", "/c /u CLOSED"}, 3, "ERRORLEVEL=3\n");
    }
    void runs()
    {
        QFETCH(QString, machine);
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        const QString exportFile = QStringLiteral(SKYVANE_SOURCE_DIR "/examples/fleet/%1.reg")
                                       .arg(machine.section(':', 0, 0));
        if (!machine.isEmpty())
            importMachine(exportFile, machine.endsWith(":32"));
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString closedUrl = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
        closed.close();
        arguments.replaceInStrings("UNTRUSTED", untrusted.url("/list"));
        arguments.replaceInStrings("LIST", server.url("/sky_vane/patches.json"));
        arguments.replaceInStrings("CLOSED", closedUrl);
        if (arguments.first() == "CMD") { // as an administrator types it
            QFile batch(work.filePath("check.bat"));
            QVERIFY(batch.open(QIODevice::WriteOnly));
            batch.write(("@echo off\r\ncd /d \"" + installed.chopped(1) + "\"\r\nskyvane " +
                         arguments.at(1) + "\r\necho ERRORLEVEL=%ERRORLEVEL%\r\n")
                            .toUtf8());
        }
        const Run run = arguments.first() == "CMD" ? wine({"cmd", "/c", "check.bat"})
                                                   : skyvane(arguments, environment);
        QCOMPARE(run.exitCode, exitCode);
        if (output == "LINUX") {
            const QStringList linuxArguments =
                arguments.contains("/u")
                    ? arguments
                    : arguments + QStringList{"/u", server.url("/sky_vane/patches.json")};
            const ProgramRun reference = runProgram(work.filePath("linux-config"),
                                                    linuxArguments + QStringList{"/r", exportFile});
            QCOMPARE(run.out, reference.out);
        } else if (output == "LOG") {
            QFile log(prefixPath("C:\\skyvane.log"));
            QVERIFY(log.open(QIODevice::ReadOnly));
            QVERIFY(log.readAll().contains(": Info: ----------------- Program start"));
        } else {
            const bool absent = output.startsWith('!');
            QVERIFY2(run.out.contains(output.mid(absent ? 1 : 0)) != absent, qPrintable(run.out));
        }
    }

    // The proxy is kept in the user's branch of the registry, where Windows
    // keeps a program's settings.
    void proxyIsKeptInTheUsersRegistry()
    {
        const QString key = "HKCU\\Software\\Vandry\\Skyvane\\Startup";
        QCOMPARE(skyvane({"/p", "http://al:pw@proxy.example:3128", "/s"}).exitCode, 0);
        const QString saved = regQuery(key);
        QVERIFY2(saved.contains("proxy.example") &&
                     QRegularExpression("ProxyPort\\s+REG_DWORD\\s+0xc38").match(saved).hasMatch(),
                 qPrintable(saved));
        QVERIFY(!saved.contains("pw")); // scrambled
        QVERIFY(skyvane({"/s"}).out.contains("  Proxy host: proxy.example\n"));
        QCOMPARE(skyvane({"/k"}).exitCode, 0);
        QVERIFY(QRegularExpression("UseProxyServer\\s+REG_SZ\\s+false")
                    .match(regQuery(key))
                    .hasMatch());
    }

    void uninstallRemovesEveryFile()
    {
        QCOMPARE(wine({"msiexec", "/x", "skyvane.msi", "/qn"}).exitCode, 0);
        QVERIFY(!QFileInfo::exists(prefixPath(installed + "skyvane.exe")));
        const QDir folder(prefixPath(installed));
        QVERIFY2(!folder.exists() || folder.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot),
                 qPrintable(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(", ")));
    }

    void cleanupTestCase() { QProcess::execute("wineserver", {"-k"}); }
};

QTEST_GUILESS_MAIN(TestWindowsProgram)
#include "tst_windowsprogram.moc"
