// The one event of a check run without a window: its kind and ID by outcome,
// and a text that names what an administrator acts on.

#include "fakeproduct.h"
#include "report/systemevents.h"

#include <QtTest>

class TestSystemEvents : public QObject
{
    Q_OBJECT

private slots:
    void oneEventByOutcome_data()
    {
        QTest::addColumn<QString>("missing"); // "s": a security patch, "n": another
        QTest::addColumn<int>("listState");
        QTest::addColumn<int>("id");
        QTest::addColumn<QStringList>("text");
        const QString list = " Patch list: http://list.example/p.json";
        QTest::newRow("nothing missing")
            << "" << int(ListState::Ok) << nothingMissingEventId
            << QStringList{"Skyvane checked web-02: OK - no updates missing." + list};
        QTest::newRow("patches missing, the security ones named")
            << "n s" << int(ListState::Ok) << patchesMissingEventId
            << QStringList{": CRITICAL - 2 updates missing", " Security updates missing: s2."};
        QTest::newRow("no usable list: the check failed")
            << "" << int(ListState::Unreachable) << checkFailedEventId
            << QStringList{": UNKNOWN - patch list unreachable", list};
    }
    void oneEventByOutcome()
    {
        QFETCH(QString, missing);
        QFETCH(int, listState);
        QFETCH(int, id);
        QFETCH(QStringList, text);
        FakeProduct product("10.3", {"Quorix for Server"}, "Server");
        CheckResult result;
        result.machine = "web-02";
        result.products = {&product};
        result.listState = ListState(listState);
        result.listSource = "http://list.example/p.json";
        result.status =
            listState == int(ListState::Ok) ? StatusCode::NoError : StatusCode::NetworkError;
        int number = 0;
        for (const QString& kind : missing.split(' ', Qt::SkipEmptyParts)) {
            const QString name = kind + QString::number(++number);
            result.missing << missingPatch(
                {name, "Quorix for Server", kind == "s" ? "yes" : "no", "Windows", {}, {}, {}},
                QDate(2026, 12, 6), 0);
        }
        const SystemEvent event = machineEvent(result);
        QCOMPARE(event.id, id);
        QCOMPARE(int(event.kind), id - nothingMissingEventId); // information, warning, error
        for (const QString& part : text)
            QVERIFY2(event.text.contains(part), qPrintable(event.text));

        // A fleet of it and a machine that was not read: the check failed there.
        CheckResult unreadable;
        unreadable.machine = "old-05";
        unreadable.exportError = "line 4: cut off";
        const FleetRow unread = fleetRow(unreadable, 2);
        const SystemEvent fleet = fleetEvent({fleetRow(result, 1), unread}, result);
        QCOMPARE(fleet.id, checkFailedEventId);
        QVERIFY2(
            fleet.text.contains("old-05 (export unreadable)") &&
                fleet.text.contains(missing.contains('s') ? "missing on: web-02." : "Patch list: "),
            qPrintable(fleet.text));
    }
};

QTEST_GUILESS_MAIN(TestSystemEvents)
#include "tst_systemevents.moc"
