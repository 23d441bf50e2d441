// An earlier JSON report as /since reads it, hostile documents refused whole,
// and what a machine's check tells as changed since it.

#include "fakeproduct.h"
#include "report/changes.h"
#include "report/previousreport.h"
#include "report/reportformats.h"

#include <QBuffer>
#include <QtTest>

namespace {
// JSON written with ' for ", to be read in a test's table.
QByteArray q(const char* text)
{
    return QByteArray(text).replace('\'', '"');
}

Result<PreviousReport> parsed(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return parsePreviousReport(buffer);
}

QByteArray machineReport(const QByteArray& members)
{
    return q("{'checkedAt':'2026-12-05T12:00:00Z','schemaVersion':1,") + members + "}";
}
} // namespace

class TestPreviousReport : public QObject
{
    Q_OBJECT

private slots:
    void refusesWhatItCannotTrust_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("reason"); // a part of the refusal
        QTest::newRow("no JSON") << QByteArray("{\"schemaVersion\":1,") << "no JSON";
        QTest::newRow("a second document after it") << machineReport(q("'machine':'a'")) + " {}"
                                                    << "no JSON";
        QTest::newRow("a NUL byte inside") << machineReport(q("'machine':'a'")) + '\0' + " "
                                           << "no JSON";
        QTest::newRow("another schema version")
            << QByteArray(q("{'checkedAt':'2026-12-05T12:00:00Z','schemaVersion':2,'machine':'a'}"))
            << "schema version 2";
        QTest::newRow("a text, not an object") << q("'machine'") << "schemaVersion";
        QTest::newRow("no schema version") << QByteArray(q("{'machine':'a'}")) << "schemaVersion";
        QTest::newRow("schema version as text")
            << QByteArray(q("{'schemaVersion':'1','machine':'a'}")) << "\"schemaVersion\"";
        QTest::newRow("no time") << machineReport(q("'machine':'a','checkedAt':'yesterday'"))
                                 << "checkedAt";
        QTest::newRow("a name of the wrong type")
            << machineReport(q("'machine':['a']")) << "\"machine\"";
        QTest::newRow("a missing patch's name of the wrong type")
            << machineReport(q("'machine':'a','products':[{'missing':[{'name':7}]}]"))
            << "\"name\"";
        QTest::newRow("no such state")
            << machineReport(q("'machine':'a','state':'purple'")) << "purple";
        QTest::newRow("a name too long")
            << machineReport(q("'machine':'") + QByteArray(5000, 'm') + q("'")) << "4096";
        QTest::newRow("nested too deep, where nothing is read")
            << machineReport(q("'machine':'a','x':") + QByteArray(40, '[') + QByteArray(40, ']'))
            << "32";
        QTest::newRow("neither machine nor machines") << machineReport(q("'list':{}")) << "neither";
        QTest::newRow("a fleet's machine without a name")
            << machineReport(q("'machines':[{'machine':'a'},{'state':'ok'}]")) << "machine 2";
        QByteArray many = q("{'machine':'m'}");
        many = machineReport(q("'machines':[") + many + (',' + many).repeated(100000) + ']');
        QTest::newRow("too many machines") << many << "100000";
    }
    void refusesWhatItCannotTrust()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, reason);
        const Result<PreviousReport> report = parsed(document);
        QVERIFY(!report.ok());
        QVERIFY2(report.errorString().contains(reason), qPrintable(report.errorString()));
    }

    void tellsWhatChanged_data()
    {
        QTest::addColumn<QByteArray>("before");   // the machine's members in the earlier report
        QTest::addColumn<QStringList>("missing"); // of the check now, all other patches
        QTest::addColumn<QString>("phrases");
        QTest::addColumn<QString>("cell");
        const QByteArray was = q("'state':'warning','list':{'state':'ok'},");
        const QByteArray missingA = q("'products':[{'missing':[{'name':'A'},{'name':'A'}]}]");
        QTest::newRow("unchanged") << was + missingA << QStringList{"A"} << "unchanged"
                                   << "-";
        QTest::newRow("a patch published")
            << was + missingA << QStringList{"A", "B"} << "newly missing: B"
            << "+1";
        QTest::newRow("a patch installed, the state changed")
            << was + missingA << QStringList{} << "was WARNING; no longer missing: A"
            << "was WARNING -1";
        QTest::newRow("its list was unreachable: nothing known then")
            << QByteArray(q("'state':'unknown','list':{'state':'unreachable'}")) << QStringList{"A"}
            << "was UNKNOWN; patches not compared"
            << "was UNKNOWN";
        QTest::newRow("an earlier version without states")
            << QByteArray(q("'list':{'state':'ok'},")) + missingA << QStringList{"A", "B"}
            << "newly missing: B"
            << "+1";
    }
    void tellsWhatChanged()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, missing);
        QFETCH(QString, phrases);
        QFETCH(QString, cell);
        // Machine names are compared in any letter case, as on Windows.
        Result<PreviousReport> report = parsed(machineReport(q("'machine':'WEB-02',") + before));
        QVERIFY2(report.ok(), qPrintable(report.errorString()));
        FakeProduct product("10.3", {"Quorix for Server"}, "Server");
        CheckResult result;
        result.machine = "web-02";
        result.products = {&product};
        result.listState = ListState::Ok;
        result.checkedAt = QDateTime(QDate(2026, 12, 6), QTime(12, 0), Qt::UTC);
        for (const QString& name : missing) {
            result.missing << missingPatch({name, "Quorix for Server", "no", "Windows", {}, {}, {}},
                                           result.checkedAt.date(), 0);
            result.missing.last().products = {&product};
        }
        result.rules.previous = std::make_shared<const PreviousReport>(report.value());
        const std::optional<MachineChanges> changes = changesSince(result);
        QVERIFY(changes);
        QCOMPARE(changePhrases(*changes).join("; "), phrases);
        QCOMPARE(changeCell(*changes), cell);
        QByteArray nagios;
        reportFormatNamed("nagios")->writeMachine(result, nagios);
        QVERIFY2(nagios.contains("\nSince 2026-12-05 12:00 UTC: " + phrases.toUtf8() + '\n'),
                 nagios.constData());

        // What this check writes, read back, is the same machine: nothing changed.
        QByteArray json;
        reportFormatNamed("json")->writeMachine(result, json);
        report = parsed(json);
        QVERIFY2(report.ok(), qPrintable(report.errorString()));
        result.rules.previous = std::make_shared<const PreviousReport>(report.value());
        QCOMPARE(changePhrases(*changesSince(result)), QStringList{"unchanged"});
    }
};

QTEST_GUILESS_MAIN(TestPreviousReport)
#include "tst_previousreport.moc"
