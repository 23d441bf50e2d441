// The acknowledgements file as people write it by hand, and what refuses it.

#include "report/acknowledgements.h"

#include <QtTest>

class TestAcknowledgements : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("read"); // "patch|machines|expires|reason; ...", or the error
        const QByteArray entry = "[Patch 3]\nexpires = 2027-01-31\nreason = frozen\n";
        QTest::newRow("every machine by default") << entry << "Patch 3||2027-01-31|frozen";
        QTest::newRow("comments, blanks, CRLF, patterns")
            << QByteArray("; why\r\n# and how\r\n\r\n  [ QX-7 ]  \r\nmachines = web-*, ,app?\r\n"
                          "REASON = a = b\r\nexpires=2027-01-01\r\n")
            << "QX-7|web-*,app?|2027-01-01|a = b";
        QTest::newRow("two entries") << entry + entry
                                     << "Patch 3||2027-01-31|frozen; "
                                        "Patch 3||2027-01-31|frozen";
        QTest::newRow("empty file") << QByteArray() << "";
        QTest::newRow("no reason")
            << QByteArray("[P]\nexpires = 2027-01-31\n") << "line 1: \"P\" has no reason";
        QTest::newRow("no expiry, before the next entry")
            << "[P]\nreason = r\n" + entry << "line 1: \"P\" has no expires date";
        QTest::newRow("not a date")
            << QByteArray("[P]\nexpires = 31.01.2027\n") << "line 2: \"31.01.2027\" is no date";
        QTest::newRow("unknown key")
            << QByteArray("[P]\nmachine = x\n") << "line 2: \"machine\" is none of";
        QTest::newRow("key twice") << entry + "reason = again\n"
                                   << "line 4: \"reason\" is given twice";
        QTest::newRow("value first")
            << "reason = r\n" + entry << "line 1: a value before the first [patch]";
        QTest::newRow("unclosed name") << QByteArray("[P\n") << "line 1: a patch's name in [ ]";
        QTest::newRow("empty name") << QByteArray("[]\n") << "line 1: a patch's name in [ ]";
        QTest::newRow("no key") << QByteArray("[P]\njust text\n") << "line 2: neither";
        QTest::newRow("not UTF-8") << QByteArray("[P\xff]\n") << "it is not UTF-8 text";
        QTest::newRow("a huge line") << QByteArray(5000, 'x') << "line 1: longer than 4096";
        QTest::newRow("too many entries") << entry.repeated(5001) << "line 15001: more than 5000";
        QTest::newRow("too many patterns")
            << "[P]\nmachines = " + QByteArray("a,").repeated(101) << "line 2: more than 100";
    }
    void parse()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, read);
        const Result<QList<Acknowledgement>> parsed = parseAcknowledgements(text);
        QStringList entries;
        for (const Acknowledgement& a : parsed.ok() ? parsed.value() : QList<Acknowledgement>())
            entries << QStringList{a.patch, a.machines.join(','), a.expires.toString(Qt::ISODate),
                                   a.reason}
                           .join('|');
        QVERIFY2(parsed.ok() ? entries.join("; ") == read : parsed.errorString().startsWith(read),
                 qPrintable(parsed.ok() ? entries.join("; ") : parsed.errorString()));
    }
    void patterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("exact, any case") << "Web-02"
                                         << "wEB-02" << true;
        QTest::newRow("star") << "web-*"
                              << "web-" << true;
        QTest::newRow("question mark is one") << "app?"
                                              << "app" << false;
        QTest::newRow("stars around") << "*srv*"
                                      << "db-srv-3" << true;
        QTest::newRow("the end must match") << "*-03"
                                            << "mail-03x" << false;
        // Exponential for a backtracking matcher; linear steps here.
        QTest::newRow("many stars, no match")
            << QString("*a").repeated(200) + "b" << QString(250, 'a') << false;
    }
    void patterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        QCOMPARE(matchesNamePattern(pattern, name), matches);
    }
};

QTEST_GUILESS_MAIN(TestAcknowledgements)
#include "tst_acknowledgements.moc"
