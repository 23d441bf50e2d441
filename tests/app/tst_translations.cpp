// The German translation: complete for every text the sources mark, compiled
// beside the program, and used by a German run.

#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>
#include <QXmlStreamReader>

namespace {
struct Message
{
    QString context;
    QString source;
    QString translation;
    bool finished = false;
};

QList<Message> readTs(const QString& fileName)
{
    QList<Message> messages;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            current = Message{context, xml.readElementText(), QString(), false};
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            current.translation = xml.readElementText();
            current.finished = type.isEmpty() && !current.translation.isEmpty();
            messages.append(current);
        }
    }
    return messages;
}

const QString committedTs = QStringLiteral(SKYVANE_SOURCE_DIR "/src/locale/skyvane_de_DE.ts");
} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void everyMarkedTextHasAFinishedGermanText();
    void compiledCatalogueSitsBesideTheProgram();
    void germanRun();
};

void TestTranslations::everyMarkedTextHasAFinishedGermanText()
{
    // What lupdate finds in the sources today...
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("fresh.ts"));
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(SKYVANE_SOURCE_DIR "/src"));
    lupdate.start(QStringLiteral(SKYVANE_LUPDATE),
                  {"-silent", "-locations", "none", "app", "registry", "products", "update", "ui",
                   "-ts", fresh});
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);
    const QList<Message> found = readTs(fresh);
    QVERIFY(found.size() > 100);

    // ...must each have a finished German text in the committed catalogue.
    QHash<QPair<QString, QString>, Message> german;
    for (const Message& message : readTs(committedTs))
        german.insert({message.context, message.source}, message);
    QStringList missing;
    for (const Message& message : found) {
        const auto it = german.constFind({message.context, message.source});
        if (it == german.constEnd() || !it->finished)
            missing << message.context + QStringLiteral(": ") + message.source;
    }
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("without German text (run the "
                                                          "update_translations target and "
                                                          "translate):\n") +
                                           missing.join('\n')));
}

void TestTranslations::compiledCatalogueSitsBesideTheProgram()
{
    const QString locale = QFileInfo(QStringLiteral(SKYVANE_BINARY)).absolutePath() + "/locale/";
    QTranslator own;
    QVERIFY(own.load(locale + QStringLiteral("skyvane_de_DE")));
    QCOMPARE(own.translate("QObject", "Show usage"), QStringLiteral("Aufruf anzeigen"));
    QCOMPARE(own.translate("NotificationDialog", "Updates for %1"),
             QStringLiteral("Updates für %1"));
    QTranslator qt;
    QVERIFY(qt.load(locale + QStringLiteral("qt_de_DE")));
    QCOMPARE(qt.translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
}

void TestTranslations::germanRun()
{
    QTemporaryDir config;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "de_DE.UTF-8");
    env.insert("LANG", "de_DE.UTF-8");
    env.insert("XDG_CONFIG_HOME", config.path());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(SKYVANE_BINARY), {"/h"});
    QVERIFY(process.waitForFinished(30000));
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines.at(0), QStringLiteral("Usage: skyvane </h> </p [proxy url]> </k> </s> </c>"));
    QCOMPARE(lines.at(1), QStringLiteral("       /h?               - Aufruf anzeigen"));
    QCOMPARE(lines.at(5), QStringLiteral("       /c                - Im Konsolenmodus ausführen"));
    for (int i = 1; i <= 5; ++i)
        QCOMPARE(lines.at(i).indexOf(QStringLiteral("- ")) + 2, 27);
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
