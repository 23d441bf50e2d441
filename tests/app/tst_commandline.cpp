#include "app/commandline.h"

#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void switches_data();
    void switches();
};

void TestCommandLine::switches_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("value");

    QTest::newRow("slash, hyphen or nothing, any case")
        << QStringList{"-P", "a", "/p", "b"} << "p" << true << "a";
    QTest::newRow("bare name") << QStringList{"p", "a"} << "P" << true << "a";
    QTest::newRow("longer is another switch") << QStringList{"/pp", "a"} << "P" << false << "-";
    QTest::newRow("doubled prefix") << QStringList{"//p", "a"} << "P" << false << "-";
    QTest::newRow("a value may look like a switch")
        << QStringList{"/p", "/c"} << "P" << true << "/c";
    QTest::newRow("no value at the end") << QStringList{"/c", "/p"} << "P" << true << "";
    QTest::newRow("program name is no switch") << QStringList{} << "skyvane" << false << "-";
}

void TestCommandLine::switches()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, name);
    QFETCH(bool, present);
    QFETCH(QString, value);
    setProcessArguments(QStringList{"skyvane"} + arguments);
    QCOMPARE(hasSwitch(name), present);
    QString actual = QStringLiteral("-");
    QCOMPARE(switchValue(name, actual), present);
    QCOMPARE(actual, value);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
