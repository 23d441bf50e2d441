#include "app/commandline.h"
#include "app/console.h"
#include "app/logger.h"

#include <QtTest>

class TestLogger : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        setConsoleCapture(&console);
        QVERIFY(dir.isValid());
        logFile = dir.filePath(QStringLiteral("skyvane.log"));
    }
    void cleanup()
    {
        Logger::instance()->init(QString(), 0);
        setConsoleCapture(nullptr);
        console.clear();
        QFile::remove(logFile);
    }

    void lineFormat();
    void verbosity_data();
    void verbosity();
    void fatalIsEchoedToStandardOutput();
    void fileIsCreatedAnew();
    void unwritableFileIsReportedAndRunGoesOn();
    void switches_data();
    void switches();
    void levelNames();

private:
    QStringList logLines() const
    {
        QFile file(logFile);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    void logEveryLevel()
    {
        for (int level = 0; level <= 4; ++level)
            Logger::instance()->log(LogLevel(level), QStringLiteral("message %1").arg(level));
    }

    QTemporaryDir dir;
    QString logFile;
    QString console;
};

void TestLogger::lineFormat()
{
    Logger::instance()->init(logFile, 2);
    Logger::instance()->log(LogLevel::Warning, QStringLiteral("disk späce %1 low"));
    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 1);
    static const QRegularExpression format(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}: Warning: disk späce %1 low$"));
    QVERIFY2(format.match(lines.first()).hasMatch(), qPrintable(lines.first()));
}

void TestLogger::verbosity_data()
{
    QTest::addColumn<int>("verbosity");
    QTest::addColumn<QStringList>("levels");
    QTest::newRow("0 writes nothing") << 0 << QStringList{};
    QTest::newRow("1 leaves out Debug") << 1 << QStringList{"Info", "Warning", "Error", "Fatal"};
    QTest::newRow("2 writes all") << 2 << QStringList{"Info", "Debug", "Warning", "Error", "Fatal"};
    QTest::newRow("3 leaves out Debug") << 3 << QStringList{"Info", "Warning", "Error", "Fatal"};
}

void TestLogger::verbosity()
{
    QFETCH(int, verbosity);
    QFETCH(QStringList, levels);
    Logger::instance()->init(logFile, verbosity);
    logEveryLevel();
    QStringList written;
    const QStringList lines = logLines();
    for (const QString& line : lines)
        written << line.mid(21).section(QLatin1Char(':'), 0, 0);
    QCOMPARE(written, levels);
    QCOMPARE(QFile::exists(logFile), verbosity != 0);
}

void TestLogger::fatalIsEchoedToStandardOutput()
{
    Logger::instance()->init(logFile, 1);
    logEveryLevel();
    QVERIFY2(console.endsWith(QStringLiteral(": Fatal: message 4\n")), qPrintable(console));
    QCOMPARE(console.count('\n'), 1);

    console.clear();
    Logger::instance()->init(logFile, 0);
    Logger::instance()->log(LogLevel::Fatal, QStringLiteral("not even this"));
    QVERIFY(console.isEmpty());
}

void TestLogger::fileIsCreatedAnew()
{
    {
        QFile old(logFile);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an earlier run\n");
    }
    Logger::instance()->init(logFile, 1);
    Logger::instance()->log(LogLevel::Info, QStringLiteral("new run"));
    QCOMPARE(logLines().size(), 1);
    QVERIFY(logLines().first().endsWith(QStringLiteral("Info: new run")));
}

void TestLogger::unwritableFileIsReportedAndRunGoesOn()
{
    const QString target = dir.filePath(QStringLiteral("no/such/folder/log.txt"));
    Logger::instance()->init(target, 1);
    QCOMPARE(console, QStringLiteral("<<<< Error opening log file for writing:\n\n%1\n\n"
                                     "Error: The file could not be opened. >>>>\n")
                          .arg(target));
    console.clear();
    Logger::instance()->log(LogLevel::Info, QStringLiteral("goes nowhere"));
    QVERIFY(console.isEmpty());
    Logger::instance()->log(LogLevel::Fatal, QStringLiteral("still echoed"));
    QVERIFY(console.endsWith(QStringLiteral("Fatal: still echoed\n")));
}

void TestLogger::switches_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("writesInfo");
    QTest::addColumn<bool>("writesDebug");
    QTest::newRow("file alone: all but Debug") << QStringList{"/l", "FILE"} << true << false;
    QTest::newRow("file with /v 2") << QStringList{"/v", "2", "/l", "FILE"} << true << true;
    QTest::newRow("file with /v 0") << QStringList{"/l", "FILE", "/v", "0"} << true << false;
    QTest::newRow("non-numeric /v") << QStringList{"/v", "x", "/l", "FILE"} << true << false;
}

void TestLogger::switches()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, writesInfo);
    QFETCH(bool, writesDebug);
    arguments.replaceInStrings(QStringLiteral("FILE"), logFile);
    setProcessArguments(QStringList{"skyvane"} + arguments);
    setUpLogging();
    Logger::instance()->log(LogLevel::Debug, QStringLiteral("debug line"));
    const QString all = logLines().join('\n');
    QCOMPARE(all.contains(QStringLiteral("Info: Program arguments:")), writesInfo);
    QCOMPARE(all.contains(QStringLiteral("Debug: debug line")), writesDebug);
}

void TestLogger::levelNames()
{
    QCOMPARE(logLevelName(4), QStringLiteral("Fatal"));
    QCOMPARE(logLevelName(5), QString());
    QCOMPARE(logLevelName(-1), QString());
    QCOMPARE(fileErrorText(QFile::PermissionsError),
             QStringLiteral("The file could not be accessed."));
    QCOMPARE(fileErrorText(QFile::FileError(99)), QString());
}

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
