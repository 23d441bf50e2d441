// Group Policy: the template administrators load says what the program reads,
// in both languages, and what it fixes wins over the settings below it.

#include "core/common.h"
#include "core/policy.h"

#include <QSettings>
#include <QtTest>
#include <QXmlStreamReader>

namespace {
// A file of the template, checked to be well-formed XML; empty when it is not.
QString templateFile(const QString& name)
{
    QFile file(QStringLiteral(SKYVANE_SOURCE_DIR "/packaging/windows/policy/") + name);
    const QString text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : "";
    QXmlStreamReader xml(text);
    while (!xml.atEnd())
        xml.readNext();
    return xml.hasError() ? QString() : text;
}

// The first capture of each match, once.
QSet<QString> captured(const QString& text, const QString& pattern)
{
    QSet<QString> found;
    for (const QRegularExpressionMatch& match : QRegularExpression(pattern).globalMatch(text))
        found << match.captured(1);
    return found;
}
} // namespace

class TestPolicy : public QObject
{
    Q_OBJECT

private slots:
    // What the template writes is what the program reads: no policy that
    // does nothing, no value that no policy sets, no other key.
    void theTemplateWritesWhatIsRead()
    {
        const QString admx = templateFile("skyvane.admx");
        const QStringList read = policyValueNames();
        QCOMPARE(captured(admx, " valueName=\"(\\w+)\""), QSet<QString>(read.begin(), read.end()));
        QCOMPARE(captured(admx, " key=\"([^\"]+)\""), QSet<QString>{QString(policyKey)});
    }

    void everyLanguageHasEveryText()
    {
        const QString admx = templateFile("skyvane.admx");
        for (const char* language : {"en-US", "de-DE"}) {
            const QString adml = templateFile(QLatin1String(language) + "/skyvane.adml");
            QVERIFY2(!admx.isEmpty() && !adml.isEmpty(), language);
            QCOMPARE(captured(adml, "<string id=\"(\\w+)\""),
                     captured(admx, "\\$\\(string\\.(\\w+)\\)"));
            QCOMPARE(captured(adml, "<presentation id=\"(\\w+)\""),
                     captured(admx, "\\$\\(presentation\\.(\\w+)\\)"));
            // Every element of a policy is shown, and nothing else.
            QCOMPARE(captured(adml, " refId=\"(\\w+)\""),
                     captured(admx, "<(?:text|decimal|boolean|enum) id=\"(\\w+)\""));
        }
    }

    void theMachineWinsAndNonsenseIsSaid_data()
    {
        QTest::addColumn<QString>("machine"); // "Name=value;...": the computer's policy values
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("used"); // "LIST PROXY" of the run ("-": none), and problems
        const auto row = [](const char* name, const char* machine, const char* user,
                            const char* used) { QTest::newRow(name) << machine << user << used; };
        const char* own = "default alice:secret@own.example:8080 0";
        row("nothing fixed", "", "", own);
        row("the user's policy", "", "PatchListUrl=http://l.example",
            "http://l.example alice:secret@own.example:8080 0");
        row("the machine's over the user's", "ProxyMode=0", "ProxyMode=1;ProxyUrl=p.example",
            "default - 0");
        row("a proxy, the password the same user has",
            "ProxyMode=1;ProxyUrl=alice@own.example:8080", "", own);
        row("another user's proxy: no password", "ProxyMode=1;ProxyUrl=bob@own.example:8080", "",
            "default bob:@own.example:8080 0");
        row("the system's proxy, with the user's credentials", "ProxyMode=2", "",
            "default system:alice:secret@own.example:8080 0");
        row("no such mode", "ProxyMode=3", "", "default - 1");
        row("a flag that is no flag: the user's then counts", "ProxyMode=yes", "ProxyMode=0",
            "default - 1");
        row("a proxy without an address: none, and said", "ProxyMode=1", "", "default - 1");
        row("a proxy that cannot be read: none, and said", "ProxyMode=1;ProxyUrl=h:99999", "",
            "default - 1");
    }
    void theMachineWinsAndNonsenseIsSaid()
    {
        QFETCH(QString, machine);
        QFETCH(QString, user);
        QFETCH(QString, used);
        QTemporaryDir folder;
        const auto scope = [&folder](const QString& name, const QString& values) {
            auto settings =
                std::make_unique<QSettings>(folder.filePath(name + ".ini"), QSettings::IniFormat);
            for (const QString& pair : values.split(';', Qt::SkipEmptyParts))
                settings->setValue(pair.section('=', 0, 0), pair.section('=', 1));
            return settings;
        };
        Common settings;
        settings.useProxyServer = true;
        settings.proxy =
            QNetworkProxy(QNetworkProxy::HttpProxy, "own.example", 8080, "alice", "secret");
        const QString ownList = settings.patchListUrl;
        const qsizetype problems =
            settings.applyPolicy(policyOf(*scope("machine", machine), *scope("user", user))).size();
        const QNetworkProxy& proxy = settings.proxy;
        QCOMPARE(QStringList({settings.patchListUrl == ownList ? "default" : settings.patchListUrl,
                              settings.useProxyServer
                                  ? (settings.useSystemProxy ? "system:" : "") +
                                        QStringLiteral("%1:%2@%3:%4")
                                            .arg(proxy.user(), proxy.password(), proxy.hostName())
                                            .arg(proxy.port())
                                  : "-",
                              QString::number(problems)})
                     .join(' '),
                 used);
    }
};

QTEST_GUILESS_MAIN(TestPolicy)
#include "tst_policy.moc"
