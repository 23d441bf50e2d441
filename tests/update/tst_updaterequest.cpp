#include "app/common.h"
#include "app/console.h"
#include "logcapture.h"
#include "patchserver.h"
#include "squidproxy.h"
#include "update/quorixupdate.h"
#include "update/updaterequest.h"

#include "testsettings.h"

#include <QtTest>

namespace {
const QByteArray patchList =
    R"({"Product": [{"version": "10.3", "patches": [{"Name": "P1", "Platform": "Windows"}]}]})";

QStringList linesStartingWith(const QStringList& lines, const QString& prefix)
{
    QStringList result;
    for (const QString& line : lines) {
        if (line.startsWith(prefix))
            result << line;
    }
    return result;
}
} // namespace

class TestUpdateRequest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTestSettings();
        UpdateRequest::setTimeoutForTesting(300);
    }
    void init()
    {
        Common::instance()->resetForTesting();
        console.clear();
        setConsoleCapture(&console);
        QVERIFY(server.listen());
    }
    void cleanup()
    {
        setConsoleCapture(nullptr);
        server.~PatchServer();
        new (&server) PatchServer;
    }

    void listIsFetchedAndParsed();
    void bytesArriveAsLatin1();
    void httpErrorEndsAfterOneAttempt();
    void unreachablePortIsANetworkError();
    void redirects_data();
    void redirects();
    void redirectLoopEndsTheAttempt();
    void relativeRedirectIsRequestedUnchanged();
    void silentServerTimesOutFiveTimes();
    void trickleTimesOutAllTheSame();
    void emptyAnswersAreRetried();
    void offlineMakesNoRequest();
    void earlierFailureAllowsOneAttempt();
    void selfSignedCertificateIsAccepted();
    void proxy_data();
    void proxy();

private:
    void serve(const QString& path, int status, const QByteArray& body,
               const QByteArray& location = {})
    {
        PatchServer::Response response;
        response.status = status;
        response.body = body;
        response.location = location;
        server.setResponse(path, response);
    }

    PatchServer server;
    QString console;
};

void TestUpdateRequest::listIsFetchedAndParsed()
{
    serve("/sky_vane/patches.json", 200, patchList);
    LogCapture log;
    QuorixUpdate update(server.url("/sky_vane/patches.json"));
    QCOMPARE(Common::instance()->status, int(NoError));
    QCOMPARE(update.receivedText(), QString::fromLatin1(patchList));
    QCOMPARE(update.masterPatchList().size(), 1);
    QCOMPARE(server.requestCount("/sky_vane/patches.json"), 1);
    QCOMPARE(linesStartingWith(log.lines(), "Info: Connect attempt"),
             QStringList{"Info: Connect attempt 1 to " + server.url("/sky_vane/patches.json")});
    QVERIFY(console.isEmpty());
}

void TestUpdateRequest::bytesArriveAsLatin1()
{
    serve("/l", 200, QByteArray("\xe4\xf6\xfc \xc3\xa4 \xff", 8));
    UpdateRequest request(server.url("/l"));
    QVERIFY(request.fetch());
    QCOMPARE(request.data(), QString::fromUtf8("äöü Ã¤ ÿ"));
}

void TestUpdateRequest::httpErrorEndsAfterOneAttempt()
{
    LogCapture log;
    QuorixUpdate update(server.url("/missing.json"));
    QCOMPARE(Common::instance()->status, int(NetworkError));
    QCOMPARE(server.requestCount("/missing.json"), 1);
    QVERIFY(update.masterPatchList().isEmpty());
    QCOMPARE(console.count(QStringLiteral("<<<< An error occurred: ")), 1);
    QVERIFY2(console.contains(QStringLiteral("(203) >>>>")), qPrintable(console));
    QCOMPARE(linesStartingWith(log.lines(), "Info: Connect attempt").size(), 1);
}

void TestUpdateRequest::unreachablePortIsANetworkError()
{
    const QString url = QStringLiteral("http://127.0.0.1:%1/x").arg(server.port());
    server.~PatchServer();
    new (&server) PatchServer; // nothing listens on that port now
    LogCapture log;
    QuorixUpdate update(url);
    QCOMPARE(Common::instance()->status, int(NetworkError));
    QVERIFY(console.startsWith(QStringLiteral("<<<< An error occurred: Connection refused")));
    QVERIFY(log.lines().contains(
        QStringLiteral("Error: Unable to connect to the sky vane server.  Try again later.")));
}

void TestUpdateRequest::redirects_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("followed");
    QTest::newRow("301") << 301 << true;
    QTest::newRow("302") << 302 << true;
    QTest::newRow("307") << 307 << true;
    QTest::newRow("303") << 303 << false;
    QTest::newRow("308") << 308 << false;
}

void TestUpdateRequest::redirects()
{
    QFETCH(int, status);
    QFETCH(bool, followed);
    serve("/old", status, "redirect body", server.url("/new").toLatin1());
    serve("/new", 200, patchList);
    LogCapture log;
    QuorixUpdate update(server.url("/old"));
    QCOMPARE(Common::instance()->status, int(NoError));
    QCOMPARE(server.requestCount("/new"), followed ? 1 : 0);
    // The body of a redirecting answer is never part of the list.
    QCOMPARE(update.receivedText(),
             followed ? QString::fromLatin1(patchList) : QStringLiteral("redirect body"));
    QCOMPARE(update.masterPatchList().size(), followed ? 1 : 0);
    QCOMPARE(log.lines().contains("Info: Redirecting to " + server.url("/new")), followed);
}

void TestUpdateRequest::redirectLoopEndsTheAttempt()
{
    serve("/loop", 302, QByteArray(), server.url("/loop").toLatin1());
    LogCapture log;
    QuorixUpdate update(server.url("/loop"));
    QCOMPARE(Common::instance()->status, int(NetworkError));
    QCOMPARE(server.requestCount("/loop"), UpdateRequest::maxRedirects + 1);
    QCOMPARE(linesStartingWith(log.lines(), "Info: Connect attempt").size(), 1);
    QVERIFY2(console.contains(QStringLiteral("more than 10 redirects")), qPrintable(console));
}

void TestUpdateRequest::relativeRedirectIsRequestedUnchanged()
{
    serve("/old", 302, QByteArray(), "/new");
    serve("/new", 200, patchList);
    LogCapture log;
    QuorixUpdate update(server.url("/old"));
    QVERIFY(log.lines().contains(QStringLiteral("Info: Redirecting to /new")));
    QCOMPARE(server.requestCount("/new"), 0);
    QCOMPARE(Common::instance()->status, int(NetworkError));
}

void TestUpdateRequest::silentServerTimesOutFiveTimes()
{
    PatchServer::Response silent;
    silent.silent = true;
    server.setResponse("/silent", silent);
    LogCapture log;
    QuorixUpdate update(server.url("/silent"));
    QCOMPARE(Common::instance()->status, int(NetworkError));
    QCOMPARE(server.requestCount("/silent"), 5);
    QCOMPARE(linesStartingWith(log.lines(), "Info: Connect attempt").size(), 5);
    QCOMPARE(log.lines().count(QStringLiteral("Info: Timeout receiving patch data!")), 5);
    QCOMPARE(log.lines().last(),
             QStringLiteral("Error: Unable to connect to the sky vane server.  Try again later."));
    QVERIFY(console.isEmpty()); // time-outs are not shown to the user
}

void TestUpdateRequest::trickleTimesOutAllTheSame()
{
    PatchServer::Response trickle;
    trickle.body = patchList;
    trickle.trickleChunkMs = 20; // far longer than the 300 ms time-out in all
    server.setResponse("/slow", trickle);
    UpdateRequest request(server.url("/slow"));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!request.fetch());
    QVERIFY(clock.elapsed() < 5000);
}

void TestUpdateRequest::emptyAnswersAreRetried()
{
    serve("/empty", 200, QByteArray());
    QuorixUpdate update(server.url("/empty"));
    QCOMPARE(server.requestCount("/empty"), 5);
    QCOMPARE(Common::instance()->status, int(NetworkError));
    QVERIFY(console.isEmpty());
}

void TestUpdateRequest::offlineMakesNoRequest()
{
    serve("/list", 200, patchList);
    Common::instance()->status = NetworkError;
    LogCapture log;
    QuorixUpdate update(server.url("/list"));
    QCOMPARE(server.requestCount("/list"), 0);
    QVERIFY(log.lines().isEmpty());
    QVERIFY(update.availablePatches().isEmpty());
}

void TestUpdateRequest::earlierFailureAllowsOneAttempt()
{
    serve("/empty", 200, QByteArray());
    Common::instance()->status = SettingsWriteError;
    QuorixUpdate update(server.url("/empty"));
    QCOMPARE(server.requestCount("/empty"), 1);
    QCOMPARE(Common::instance()->status, int(NetworkError));
}

void TestUpdateRequest::selfSignedCertificateIsAccepted()
{
    PatchServer tlsServer;
    QVERIFY(tlsServer.listenTls(QStringLiteral(SKYVANE_TEST_DATA "/selfsigned.crt"),
                                QStringLiteral(SKYVANE_TEST_DATA "/selfsigned.key")));
    PatchServer::Response response;
    response.body = patchList;
    tlsServer.setResponse("/list", response);
    LogCapture log;
    QuorixUpdate update(tlsServer.url("/list"));
    QCOMPARE(Common::instance()->status, int(NoError));
    QCOMPARE(update.masterPatchList().size(), 1);
    QVERIFY(!linesStartingWith(log.lines(), "Warning: SSL Error: ").isEmpty());
}

void TestUpdateRequest::proxy_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("right credentials") << "skypass" << true;
    QTest::newRow("wrong credentials") << "wrong" << false;
}

// Through squid demanding Basic authentication, in a console application.
void TestUpdateRequest::proxy()
{
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    SquidProxy squid("skyuser", "skypass");
    const QString problem = squid.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    serve("/sky_vane/patches.json", 200, patchList);
    Common* common = Common::instance();
    common->useProxyServer = true;
    common->manualProxy =
        QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", squid.port(), "skyuser", password);

    QuorixUpdate update(server.url("/sky_vane/patches.json"));
    if (accepted) {
        QCOMPARE(common->status, int(NoError));
        QCOMPARE(update.masterPatchList().size(), 1);
        QCOMPARE(server.requestCount("/sky_vane/patches.json"), 1);
        QVERIFY(console.isEmpty());
        return;
    }
    QCOMPARE(common->status, int(NetworkError));
    QCOMPARE(server.requestCount("/sky_vane/patches.json"), 0);
    const QStringList lines = console.split('\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.size() >= 2, qPrintable(console));
    QCOMPARE(lines.first(),
             QStringLiteral("<<<< The proxy server (127.0.0.1) requires authentication "
                            "or the proxy username/password is incorrect. >>>>"));
    QVERIFY(lines.last().startsWith(QStringLiteral("<<<< An error occurred: ")));
    QVERIFY(lines.last().endsWith(QStringLiteral("(105) >>>>")));
}

QTEST_GUILESS_MAIN(TestUpdateRequest)
#include "tst_updaterequest.moc"
