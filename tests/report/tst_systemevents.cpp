// The one event of a check run without a window: its kind and ID by outcome,
// and a text that names what an administrator acts on (a fleet's event is
// the Windows program test's).

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
        QTest::addColumn<bool>("listRead");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text"); // parts, "|" between
        QTest::newRow("nothing missing")
            << "" << true << nothingMissingEventId
            << "Skyvane checked web-02: OK - no updates missing. Patch list: http://l.example";
        QTest::newRow("patches missing, the security ones named")
            << "n s" << true << patchesMissingEventId
            << ": CRITICAL - 2 updates missing| Security updates missing: s1.";
        QTest::newRow("no usable list: the check failed")
            << "" << false << checkFailedEventId << ": UNKNOWN - patch list unreachable";
    }
    void oneEventByOutcome()
    {
        QFETCH(QString, missing);
        QFETCH(bool, listRead);
        QFETCH(int, id);
        QFETCH(QString, text);
        FakeProduct product("10.3", {"Quorix for Server"}, "Server");
        CheckResult result;
        result.machine = "web-02";
        result.products = {&product};
        result.listState = listRead ? ListState::Ok : ListState::Unreachable;
        result.listSource = "http://l.example";
        result.status = listRead ? StatusCode::NoError : StatusCode::NetworkError;
        for (const QString& kind : missing.split(' ', Qt::SkipEmptyParts))
            result.missing << missingPatch({kind + QString::number(result.missing.size()),
                                            "Quorix for Server",
                                            kind == "s" ? "yes" : "no",
                                            "Windows",
                                            {},
                                            {},
                                            {}},
                                           QDate(2026, 12, 6), 0);
        const SystemEvent event = machineEvent(result);
        QCOMPARE(event.id, id);
        QCOMPARE(int(event.kind), id - nothingMissingEventId); // information, warning, error
        for (const QString& part : text.split('|'))
            QVERIFY2(event.text.contains(part), qPrintable(event.text));
    }
};

QTEST_GUILESS_MAIN(TestSystemEvents)
#include "tst_systemevents.moc"
