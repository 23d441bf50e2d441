#include "app/runretrieval.h"
#include "core/common.h"
#include "core/console.h"
#include "limitedretrievalhost.h"
#include "patchserver.h"
#include "squidproxy.h"
#include "testsettings.h"
#include "update/listcache.h"
#include "update/quorixupdate.h"
#include "update/updaterequest.h"

#include <QTcpServer>
#include <QtTest>

Q_DECLARE_METATYPE(PatchServer::Response)

namespace {
const QByteArray patchList =
    R"({"Product": [{"version": "10.3", "patches": [{"Name": "P", "Platform": "Windows"}]}]})";
using Response = PatchServer::Response;
} // namespace

class TestUpdateRequest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTestSettings();
        host.maxBytes = 1024 * 1024;
        // The test's own certificate authority is trusted like a system one.
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        QVERIFY(tls.addCaCertificates(QStringLiteral(SKYVANE_TEST_DATA "/tls/testca.crt")));
        QSslConfiguration::setDefaultConfiguration(tls);
    }
    void init()
    {
        settings = Common();
        // Long enough for a large answer on a busy machine, short for the rows that wait.
        host.timeout = 1000;
        console.clear();
        setConsoleCapture(&console);
        server = std::make_unique<PatchServer>();
        const QString tls = QStringLiteral(SKYVANE_TEST_DATA "/tls/");
        const QString row = QTest::currentDataTag();
        const bool ok = row.startsWith("https, self-signed")
                            ? server->listenTls(tls + "selfsigned.crt", tls + "selfsigned.key")
                        : row.startsWith("https")
                            ? server->listenTls(tls + "server.crt", tls + "server.key")
                            : server->listen();
        QVERIFY(ok);
        server->setResponse("/list", Response::with(200, patchList));
    }

    // Rows whose name starts with "https" are served over TLS: "https,
    // self-signed" with a certificate for another host that nobody signed, any
    // other with one that the test's authority signed.
    void retrieval_data()
    {
        QTest::addColumn<StatusCode>("earlier");
        QTest::addColumn<int>("budget"); // seconds for the whole retrieval, 0 for none
        QTest::addColumn<Response>("response");
        QTest::addColumn<int>("requests");
        QTest::addColumn<QString>("patch"); // the list's first patch, or nothing
        QTest::addColumn<StatusCode>("status");
        QTest::addColumn<QString>("shown"); // the one line on the console ("*": any text)
        const StatusCode ok = StatusCode::NoError;
        const StatusCode failed = StatusCode::NetworkError;
        const auto row = [](const QString& name, const Response& response, int requests,
                            const QString& patch, StatusCode status, const QString& shown = {},
                            StatusCode earlier = StatusCode::NoError, int budget = 0) {
            QTest::newRow(qPrintable(name))
                << earlier << budget << response << requests << patch << status << shown;
        };
        const Response list = Response::with(200, patchList);
        row("list", list, 1, "P", ok);
        row("https, verified", list, 1, "P", ok);
        row("https, self-signed for another host: refused", list, 0, "", failed,
            "<<<< An error occurred: the certificate of 127.0.0.1 is not trusted: * (SELF) >>>>");
        row("UTF-8 list", Response::with(200, R"({"Product": [{"version": "10.3", "patches": [
            {"Name": "für", "Platform": "Windows"}]}]})"),
            1, "für", ok);
        row("Latin-1 list",
            Response::with(200, "{\"Product\": [{\"version\": \"10.3\", "
                                "\"patches\": [{\"Name\": \"f\xfcr\", "
                                "\"Platform\": \"Windows\"}]}]}"),
            1, "für", ok);
        for (const int code : {301, 302, 303, 307, 308})
            row(QString::number(code) + " followed, its body dropped",
                Response::with(code, "moved", "LIST"), 1, "P", ok);
        row("relative redirect", Response::with(302, {}, "/list"), 1, "P", ok);
        row("https, relative redirect keeps https", Response::with(307, {}, "//HOST/list"), 1, "P",
            ok);
        for (const QString target : {"file:///etc/passwd", "data:,x"})
            row("redirect to " + target + " refused", Response::with(302, {}, target.toLatin1()), 1,
                "", failed,
                "<<<< An error occurred: the redirect to " + target + " was refused. >>>>");
        row("HTTP error: one attempt, its body never read", Response::with(404, patchList), 1, "",
            failed, "<<<< An error occurred: HTTP 404 Not Found (SELF) >>>>");
        row("server error: its reason named, escaped",
            Response::with(500, patchList).withReason("Broken\x1b[2J"), 1, "", failed,
            "<<<< An error occurred: HTTP 500 Broken\uFFFD[2J (SELF) >>>>");
        const QByteArray large(1024 * 1024 + 1, ' ');
        row("error answer: aborted at its headers, however large its body",
            Response::with(500, large), 1, "", failed,
            "<<<< An error occurred: HTTP 500 Internal Server Error (SELF) >>>>");
        row("error answer: aborted at its headers, however slow its body",
            Response::with(503, patchList).trickled(200), 1, "", failed,
            "<<<< An error occurred: HTTP 503 Status (SELF) >>>>");
        for (const int code : {206, 300})
            row(QString::number(code) + " with a list: no list", Response::with(code, patchList), 1,
                "", failed,
                "<<<< An error occurred: HTTP " + QString::number(code) + " * (SELF) >>>>");
        row("304 unasked: no list", Response::with(304), 1, "", failed,
            "<<<< An error occurred: HTTP 304 Not Modified is no patch list (SELF) >>>>");
        row("302 without a target: no redirect", Response::with(302, "moved"), 1, "", failed,
            "<<<< An error occurred: HTTP 302 Found without a redirect target (SELF) >>>>");
        row("compressed list that does not inflate: the encoding named",
            Response::with(200, "not gzip at all").encodedAs("gzip"), 1, "", failed,
            "<<<< An error occurred: the list, sent as gzip, cannot be decoded (SELF) >>>>");
        row("silent server: five attempts", Response::with(200).silently(), 5, "", failed);
        row("empty answer: five attempts", Response::with(200), 5, "", failed);
        row("an earlier failure leaves the attempts as they are", Response::with(200), 5, "",
            failed, {}, StatusCode::SettingsWriteError);
        row("trickle past the time-out", list.trickled(20), 5, "", failed);
        row("time budget ends the retrieval", Response::with(200).silently(), 1, "", failed,
            "<<<< An error occurred: no patch list from SELF within the time budget of 1 s. >>>>",
            StatusCode::NoError, 1);
        const QString tooLarge =
            "<<<< An error occurred: the patch list at SELF is larger than 1 MiB. >>>>";
        row("too large, by its length", Response::with(200, large), 1, "", failed, tooLarge);
        row("too large, as it arrives", Response::with(200, large).withoutLength(), 1, "", failed,
            tooLarge);
        row("offline: no request", list, 0, "", failed, {}, failed);
        row("redirect loop: one attempt of eleven requests", Response::with(302, {}, "SELF"), 11,
            "", failed, "<<<< An error occurred: more than 10 redirects while fetching SELF >>>>");
    }
    void retrieval()
    {
        QFETCH(StatusCode, earlier);
        QFETCH(int, budget);
        QFETCH(Response, response);
        QFETCH(int, requests);
        QFETCH(QString, patch);
        QFETCH(StatusCode, status);
        QFETCH(QString, shown);
        response.location.replace("LIST", server->url("/list").toLatin1());
        response.location.replace("SELF", server->url("/x").toLatin1());
        response.location.replace("HOST", QUrl(server->url("/")).authority().toLatin1());
        shown.replace("SELF", server->url("/x"));
        server->setResponse("/x", response);
        settings.status = earlier;
        // A row whose server answers at once never waits for a time-out: on a busy
        // machine a large answer must not be taken for one.
        if (!response.silent && response.trickleChunkMs == 0)
            host.timeout = 10 * 1000;
        if (budget > 0) // one attempt would outlast the budget
            host.timeout = budget * 1000 * 10;
        const QuorixUpdate update =
            QuorixUpdate::retrieve(server->url("/x"), host, std::nullopt, budget);
        QCOMPARE(server->requestCount("/x"), requests);
        const QList<VersionPatches> master = update.masterPatchList();
        QCOMPARE(master.value(0).patches.value(0).Name, patch);
        if (patch.isEmpty())
            QCOMPARE(update.receivedSize(), 0);
        QCOMPARE(settings.status, status);
        const QStringList parts = shown.split('*');
        QVERIFY2(shown.isEmpty()
                     ? console.isEmpty()
                     : console.startsWith(parts.first()) && console.endsWith(parts.last() + '\n') &&
                           console.count('\n') == 1,
                 qPrintable(console));
    }
    // A cache folder holds, before the retrieval, nothing, the list fetched by
    // an earlier retrieval, a copy of a list with the patch "Old" kept some
    // hours ago, or a damaged file.
    void listCache_data()
    {
        QTest::addColumn<QString>("kept");
        QTest::addColumn<Response>("response");
        QTest::addColumn<QString>("patch"); // the list's first patch, or nothing
        QTest::addColumn<int>("unchanged"); // requests answered 304
        QTest::addColumn<int>("standsIn");  // the kept copy's age in hours, or -1
        const Response list = Response::with(200, patchList), down = Response::with(503);
        QTest::newRow("unchanged: asked for, not sent") << "fetched" << list << "P" << 1 << -1;
        QTest::newRow("changed: the new list") << "copy 1" << list << "P" << 0 << -1;
        QTest::newRow("server down: a young copy stands in") << "copy 5" << down << "Old" << 0 << 5;
        QTest::newRow("server down: a copy too old does not") << "copy 25" << down << "" << 0 << -1;
        QTest::newRow("damaged file: fetched in full") << "damaged" << list << "P" << 0 << -1;
        QTest::newRow("damaged file never stands in") << "damaged" << down << "" << 0 << -1;
    }
    void listCache()
    {
        QFETCH(QString, kept);
        QFETCH(Response, response);
        QFETCH(QString, patch);
        QFETCH(int, unchanged);
        QFETCH(int, standsIn);
        QTemporaryDir folder;
        const QDateTime now(QDate(2026, 12, 6), QTime(12, 0), Qt::UTC);
        const ListCacheUse cache{folder.path(), 24 * 3600, now};
        const QString url = server->url("/x");
        const ListCache files(folder.path(), host.maxBytes);
        server->setResponse("/x", Response::with(200, patchList));
        if (kept == "fetched")
            QVERIFY(QuorixUpdate::retrieve(url, host, std::nullopt, 0, &cache).listState() ==
                    ListState::Ok);
        if (kept.startsWith("copy"))
            QVERIFY(files
                        .store(url, {QByteArray(patchList).replace("\"P\"", "\"Old\""),
                                     {},
                                     {},
                                     now.addSecs(-3600 * kept.section(' ', 1).toInt())})
                        .ok());
        QFile damaged(files.fileFor(url));
        QVERIFY(kept != "damaged" ||
                (QDir().mkpath(folder.path()) && damaged.open(QIODevice::WriteOnly) &&
                 damaged.write("skyvane list cache 1\nlength 3\n\nabc")));
        damaged.close();
        server->setResponse("/x", response);
        console.clear();
        const QuorixUpdate update = QuorixUpdate::retrieve(url, host, std::nullopt, 0, &cache);
        QCOMPARE(update.masterPatchList().value(0).patches.value(0).Name, patch);
        QCOMPARE(server->unchangedCount("/x"), unchanged);
        // A 304, like a list, is let finish: no network work is left behind.
        QVERIFY(response.status != 200 || !settings.networkWorkAbandoned);
        QCOMPARE(update.keptCopyAge().value_or(-3600) / 3600, standsIn);
        QCOMPARE(settings.status,
                 response.status == 200 ? StatusCode::NoError : StatusCode::NetworkError);
        // Whatever came from the server is kept for the next run, whole.
        const Result<CachedList, CacheMiss> after = files.read(url);
        QCOMPARE(after.ok() ? after.value().body : QByteArray(),
                 response.status == 200    ? patchList
                 : kept.startsWith("copy") ? QByteArray(patchList).replace("\"P\"", "\"Old\"")
                                           : QByteArray());
    }

    void httpsIsNeverLeftForHttp()
    {
        PatchServer tlsServer;
        QVERIFY(tlsServer.listenTls(QStringLiteral(SKYVANE_TEST_DATA "/tls/server.crt"),
                                    QStringLiteral(SKYVANE_TEST_DATA "/tls/server.key")));
        tlsServer.setResponse("/down", Response::with(302, {}, server->url("/list").toLatin1()));
        QuorixUpdate downgraded =
            QuorixUpdate::retrieve(tlsServer.url("/down"), host, std::nullopt, 0);
        QCOMPARE(server->requestCount("/list"), 0);
        QVERIFY(console.endsWith(server->url("/list") + " was refused. >>>>\n"));
    }
    void proxy_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("right credentials") << "skypass";
        QTest::newRow("wrong credentials") << "wrong";
    }
    // Through squid demanding Basic authentication, in a console application.
    void proxy()
    {
        QFETCH(QString, password);
        const bool accepted = password == "skypass";
        SquidProxy squid("skyuser", "skypass");
        QVERIFY2(squid.problem().isEmpty(), qPrintable(squid.problem()));
        settings.useProxyServer = true;
        settings.proxy =
            QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", squid.port(), "skyuser", password);
        QuorixUpdate update = QuorixUpdate::retrieve(server->url("/list"), host, std::nullopt, 0);
        QCOMPARE(server->requestCount("/list"), accepted ? 1 : 0);
        QCOMPARE(settings.status, accepted ? StatusCode::NoError : StatusCode::NetworkError);
        QVERIFY2(accepted ? console.isEmpty()
                          : console.startsWith("<<<< The proxy server (127.0.0.1) requires "
                                               "authentication or the proxy username/password is "
                                               "incorrect. >>>>\n<<<< An error occurred: ") &&
                                console.endsWith("(" + server->url("/list") + ") >>>>\n"),
                 qPrintable(console));
    }

    // The loopback server as a proxy: one that asks for NTLM gets the saved
    // user in its handshake, and nobody is told of the challenge; one that
    // asks for Negotiate, which needs Kerberos, is refused clearly. The
    // system's proxy, here from the environment, is asked for each address.
    void proxySchemesAndTheSystemsProxy_data()
    {
        QTest::addColumn<QByteArray>("scheme"); // that the proxy asks for; none: it asks nothing
        QTest::addColumn<QString>("user");      // saved, "DOMAIN\\user" or "user"
        QTest::addColumn<QString>("system");    // with the system's proxy: no_proxy, or "-"
        QTest::addColumn<bool>("throughProxy");
        QTest::newRow("NTLM") << QByteArray("NTLM") << "alice"
                              << "-" << true;
        QTest::newRow("NTLM, a domain's user") << QByteArray("NTLM") << "CORP\\alice"
                                               << "-" << true;
        QTest::newRow("Negotiate without Kerberos") << QByteArray("Negotiate") << "alice"
                                                    << "-" << false;
        QTest::newRow("the system's: http_proxy") << QByteArray() << ""
                                                  << "" << true;
        QTest::newRow("the system's: no_proxy names the host") << QByteArray() << ""
                                                               << "127.0.0.1" << false;
    }
    void proxySchemesAndTheSystemsProxy()
    {
        QFETCH(QByteArray, scheme);
        QFETCH(QString, user);
        QFETCH(QString, system);
        QFETCH(bool, throughProxy);
        PatchServer proxy;
        QVERIFY(proxy.listen());
        proxy.setResponse("/list", Response::with(200, patchList));
        proxy.demandProxyAuthentication(scheme, "alice");
        settings.useProxyServer = true;
        settings.useSystemProxy = system != "-";
        settings.proxy =
            QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", proxy.port(), user, "secret");
        qputenv("http_proxy", proxy.url("/").toUtf8());
        qputenv("no_proxy", system.toUtf8());
        QuorixUpdate update = QuorixUpdate::retrieve(server->url("/list"), host, std::nullopt, 0);
        qunsetenv("http_proxy");
        qunsetenv("no_proxy");
        QCOMPARE(proxy.requestCount("/list") + server->requestCount("/list"),
                 scheme == "Negotiate" ? 0 : 1);
        QCOMPARE(proxy.requestCount("/list"), throughProxy ? 1 : 0);
        QVERIFY2(scheme == "Negotiate" ? console.contains(" 407 ") : console.isEmpty(),
                 qPrintable(console));
    }

    // Qt reports a dead proxy like a dead server; the message tells them apart.
    void deadProxyIsNamed()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        settings.useProxyServer = true;
        settings.proxy = QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", port);
        host.timeout = 10 * 1000;
        QuorixUpdate update = QuorixUpdate::retrieve(server->url("/list"), host, std::nullopt, 0);
        QCOMPARE(server->requestCount("/list"), 0);
        QVERIFY2(console.contains("(" + server->url("/list") + ", through the proxy 127.0.0.1:" +
                                  QString::number(port) + ") >>>>\n"),
                 qPrintable(console));
    }

private:
    std::unique_ptr<PatchServer> server;
    QString console;
    Common settings;
    LimitedRetrievalHost<RunRetrievalHost> host{settings};
};

QTEST_GUILESS_MAIN(TestUpdateRequest)
#include "tst_updaterequest.moc"
