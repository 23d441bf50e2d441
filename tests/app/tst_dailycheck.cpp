// The installer's daily check: what DAILYCHECK may say, and the task it makes.

#include "app/dailycheck.h"

#include <QStringDecoder>
#include <QtTest>

class TestDailyCheck : public QObject
{
    Q_OBJECT

private slots:
    void readsWhatTheInstallerIsGiven_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("task"); // the parts of its definition; empty: refused
        QTest::newRow("a time: json, seven kept, as SYSTEM by cmd")
            << "2:30"
            << "T02:30:00<|daily-check.cmd&quot; json 7&quot;|<UserId>S-1-5-18<|cmd.exe<";
        QTest::newRow("format and number kept")
            << " 23:05 , NAGIOS , 14 "
            << "T23:05:00<|daily-check.cmd&quot; nagios 14&quot;";
        for (const char* wrong : {"", "25:00", "2:3", "02:30,xml", "02:30,json,0", "02:30,json,367",
                                  "02:30,json,7,x", "02:30,json,seven"})
            QTest::newRow(qPrintable(QStringLiteral("refused: \"%1\"").arg(wrong)))
                << wrong << QString();
    }
    void readsWhatTheInstallerIsGiven()
    {
        QFETCH(QString, given);
        QFETCH(QString, task);
        const Result<DailyCheck> check = parseDailyCheck(given);
        QCOMPARE(check.ok(), !task.isEmpty());
        if (!check.ok())
            return;
        const QByteArray definition = dailyCheckTask(check.value(), "C:/Program Files/Skyvane");
        QVERIFY(definition.startsWith("\xff\xfe")); // UTF-16, as schtasks reads it
        const QString xml = QStringDecoder(QStringDecoder::Utf16LE)(definition.mid(2));
        QVERIFY(xml.contains("&quot;C:\\Program Files\\Skyvane\\daily-check.cmd"));
        for (const QString& part : task.split('|'))
            QVERIFY2(xml.contains(part), qPrintable(xml));
    }
};

QTEST_GUILESS_MAIN(TestDailyCheck)
#include "tst_dailycheck.moc"
