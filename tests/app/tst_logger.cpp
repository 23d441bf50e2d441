#include "app/commandline.h"
#include "app/console.h"
#include "app/logger.h"

#include <QtTest>

class TestLogger : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setConsoleCapture(nullptr); }
    void levelsBySwitches_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("levels");
        const QStringList allButDebug{"Info", "Warning", "Error", "Fatal"};
        QTest::newRow("no switch: nothing, not even Fatal") << QStringList{} << QStringList{};
        QTest::newRow("/l alone: all but Debug") << QStringList{"/l", "FILE"} << allButDebug;
        QTest::newRow("/v 2: everything")
            << QStringList{"/v", "2", "/l", "FILE"}
            << QStringList{"Info", "Debug", "Warning", "Error", "Fatal"};
        QTest::newRow("/v 3 is no level of its own")
            << QStringList{"/l", "FILE", "/v", "3"} << allButDebug;
    }
    void levelsBySwitches()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, levels);
        QTemporaryDir dir;
        const QString file = dir.filePath("log.txt");
        QString console;
        setConsoleCapture(&console);
        setProcessArguments(QStringList{"skyvane"} + arguments.replaceInStrings("FILE", file));
        setUpLogging();
        for (int level = 0; level <= 4; ++level)
            Logger::instance()->log(LogLevel(level), QStringLiteral("message %1").arg(level));
        Logger::instance()->init(QString(), 0);

        QFile log(file);
        QStringList written;
        if (log.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : log.readAll().split('\n'))
                if (line.contains(": message "))
                    written << QString::fromUtf8(line.mid(21)).section(':', 0, 0);
        }
        QCOMPARE(written, levels);
        // Fatal lines also reach standard output, whenever the log is on.
        QCOMPARE(console.endsWith(": Fatal: message 4\n"), !levels.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
