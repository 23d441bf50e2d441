// The console report word for word (tests/data/console): its headings, the
// line of a product without updates, a listless run's status line, the
// cache's copy standing in, a fleet's table.

#include "fakeproduct.h"
#include "report/reportformats.h"

#include <QtTest>

class TestConsoleFormat : public QObject
{
    Q_OBJECT

    FakeProduct server{"10.3",
                       {"Quorix for Server"},
                       "Quorix 10.3 for Server",
                       {{"Quorix 10.3 Server Patch 1", "QX100301", "100301"}}};
    FakeProduct zelvan{"10.3", {"Zelvan for Quorix"}, "Zelvan for Quorix 10.3"};

    CheckResult result(StatusCode status, int missing)
    {
        CheckResult check;
        check.checkedAt = QDateTime(QDate(2031, 3, 1), QTime(9, 30), Qt::UTC);
        check.machine = "web-02";
        check.listSource = "http://downloads.example/patches.json";
        check.listState = status == StatusCode::NoError ? ListState::Ok : ListState::Unreachable;
        check.status = status;
        check.products = {&server, &zelvan};
        check.installedPatches = server.installedPatches();
        for (int i = 1; i <= missing; ++i) {
            const PublishedPatch patch{QStringLiteral("Quorix 10.3 Server Patch %1").arg(i + 1),
                                       "Quorix for Server",
                                       i == 1 ? "yes" : "no",
                                       "Windows",
                                       QStringLiteral("http://downloads.example/p%1.exe").arg(i),
                                       {},
                                       "2031-01-0" + QString::number(i)};
            check.missing.append(missingPatch(patch, check.checkedAt.date(), 0));
            check.missing.last().products = {&server};
        }
        return check;
    }

    static QByteArray fixture(const QString& name)
    {
        QFile file(QStringLiteral(SKYVANE_TEST_DATA "/console/") + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void machineReport_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("missing");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("keptHours"); // the cache's copy stands in, this old; or -1
        QTest::newRow("updates missing") << 0 << 2 << "updates-missing.txt" << -1;
        QTest::newRow("list unreachable")
            << int(StatusCode::NetworkError) << 0 << "list-unreachable.txt" << -1;
        QTest::newRow("list unreachable, the cache's copy stands in")
            << int(StatusCode::NetworkError) << 2 << "list-from-cache.txt" << 5;
    }
    void machineReport()
    {
        QFETCH(int, status);
        QFETCH(int, missing);
        QFETCH(QString, expected);
        QFETCH(int, keptHours);
        CheckResult check = result(StatusCode(status), missing);
        if (keptHours >= 0) {
            check.listState = ListState::Ok;
            check.keptListAgeSeconds = keptHours * 3600 + 59;
            check.listProblem = "An error occurred: HTTP 503 Service Unavailable (URL)";
        }
        QByteArray text;
        consoleReportFormat()->writeMachine(check, text);
        QCOMPARE(text, fixture(expected));
    }

    void fleetReport()
    {
        const std::unique_ptr<ReportFormat> console = consoleReportFormat();
        const CheckResult up = result(StatusCode::NoError, 0);
        CheckResult behind = result(StatusCode::NoError, 2);
        // Read from an export two and a half days old that lacks the Uninstall list.
        behind.exported = ExportFacts{behind.checkedAt.addSecs(-60 * 60 * 60), true, false};
        const QList<FleetRow> rows{fleetRow(up, 1), fleetRow(behind, 2)};
        QByteArray text;
        console->writeFleetHead(rows, up, text);
        text += console->fleetMachineParts(behind, rows.last()).join();
        QCOMPARE(text, fixture("fleet.txt"));
    }
};

QTEST_GUILESS_MAIN(TestConsoleFormat)
#include "tst_consoleformat.moc"
