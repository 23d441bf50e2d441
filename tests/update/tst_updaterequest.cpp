#include "app/common.h"
#include "app/console.h"
#include "patchserver.h"
#include "squidproxy.h"
#include "testsettings.h"
#include "update/quorixupdate.h"
#include "update/updaterequest.h"

#include <QtTest>

Q_DECLARE_METATYPE(PatchServer::Response)

namespace {
const QByteArray patchList = R"({"Product": [{"version": "10.3", "patches": [{"Name": "P)"
                             "\xe4"
                             R"(", "Platform": "Windows"}]}]})";
}

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
        server = std::make_unique<PatchServer>();
        QVERIFY(server->listen());
        serve("/list", 200, patchList);
    }

    void listArrivesAsLatin1();
    void httpErrorEndsAfterOneAttempt();
    void redirects_data();
    void redirects();
    void noAnswerIsTriedFiveTimes_data();
    void noAnswerIsTriedFiveTimes();
    void earlierStatusDecidesTheAttempts_data();
    void earlierStatusDecidesTheAttempts();
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
        server->setResponse(path, response);
    }

    std::unique_ptr<PatchServer> server;
    QString console;
};

void TestUpdateRequest::listArrivesAsLatin1()
{
    QuorixUpdate update(server->url("/list"));
    QCOMPARE(Common::instance()->status, StatusCode::NoError);
    QCOMPARE(update.masterPatchList().first().patches.first().Name, QStringLiteral("Pä"));
    QCOMPARE(server->requestCount("/list"), 1);
    QVERIFY(console.isEmpty());
}

void TestUpdateRequest::httpErrorEndsAfterOneAttempt()
{
    QuorixUpdate update(server->url("/missing.json"));
    QCOMPARE(Common::instance()->status, StatusCode::NetworkError);
    QCOMPARE(server->requestCount("/missing.json"), 1);
    QVERIFY2(console.startsWith("<<<< An error occurred: ") && console.endsWith("(203) >>>>\n") &&
                 console.count('\n') == 1,
             qPrintable(console));
}

void TestUpdateRequest::redirects_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("location");
    QTest::addColumn<int>("listRequests");
    QTest::newRow("301") << 301 << "LIST" << 1;
    QTest::newRow("302") << 302 << "LIST" << 1;
    QTest::newRow("307") << 307 << "LIST" << 1;
    QTest::newRow("303 is not followed") << 303 << "LIST" << 0;
    QTest::newRow("308 is not followed") << 308 << "LIST" << 0;
    QTest::newRow("a relative target is requested as it is") << 302 << "/list" << 0;
}

void TestUpdateRequest::redirects()
{
    QFETCH(int, status);
    QFETCH(QString, location);
    QFETCH(int, listRequests);
    serve("/old", status, "redirect body",
          location.replace("LIST", server->url("/list")).toLatin1());
    QuorixUpdate update(server->url("/old"));
    QCOMPARE(server->requestCount("/list"), listRequests);
    // The body of a redirecting answer is never part of the list.
    QCOMPARE(update.receivedText(), listRequests    ? QString::fromLatin1(patchList)
                                    : status == 302 ? ""
                                                    : "redirect body");
}

void TestUpdateRequest::noAnswerIsTriedFiveTimes_data()
{
    QTest::addColumn<PatchServer::Response>("response");
    QTest::addColumn<int>("requests");
    QTest::newRow("silent server") << PatchServer::Response{200, {}, {}, 0, 0, true} << 5;
    QTest::newRow("empty answer") << PatchServer::Response{200, {}, {}, 0, 0, false} << 5;
    QTest::newRow("trickle past the time-out")
        << PatchServer::Response{200, patchList, {}, 0, 20, false} << 5;
    QTest::newRow("redirect loop: one attempt of eleven requests")
        << PatchServer::Response{302, {}, "LOOP", 0, 0, false} << UpdateRequest::maxRedirects + 1;
}

void TestUpdateRequest::noAnswerIsTriedFiveTimes()
{
    QFETCH(PatchServer::Response, response);
    QFETCH(int, requests);
    response.location.replace("LOOP", server->url("/x").toLatin1());
    server->setResponse("/x", response);
    QuorixUpdate update(server->url("/x"));
    QCOMPARE(server->requestCount("/x"), requests);
    QCOMPARE(Common::instance()->status, StatusCode::NetworkError);
    QVERIFY(update.masterPatchList().isEmpty());
    // Time-outs and empty answers are only logged; a redirect loop is an error to show.
    QCOMPARE(console.contains("more than 10 redirects"), response.status == 302);
}

void TestUpdateRequest::earlierStatusDecidesTheAttempts_data()
{
    QTest::addColumn<StatusCode>("earlier");
    QTest::addColumn<int>("requests");
    QTest::newRow("offline: no request") << StatusCode::NetworkError << 0;
    QTest::newRow("any other failure: one attempt") << StatusCode::SettingsWriteError << 1;
}

void TestUpdateRequest::earlierStatusDecidesTheAttempts()
{
    QFETCH(StatusCode, earlier);
    QFETCH(int, requests);
    serve("/empty", 200, QByteArray());
    Common::instance()->status = earlier;
    QuorixUpdate update(server->url("/empty"));
    QCOMPARE(server->requestCount("/empty"), requests);
    QCOMPARE(Common::instance()->status, StatusCode::NetworkError);
}

void TestUpdateRequest::selfSignedCertificateIsAccepted()
{
    PatchServer tlsServer;
    QVERIFY(tlsServer.listenTls(QStringLiteral(SKYVANE_TEST_DATA "/selfsigned.crt"),
                                QStringLiteral(SKYVANE_TEST_DATA "/selfsigned.key")));
    tlsServer.setResponse("/list", {200, patchList, {}, 0, 0, false});
    QuorixUpdate update(tlsServer.url("/list"));
    QCOMPARE(Common::instance()->status, StatusCode::NoError);
    QCOMPARE(update.masterPatchList().size(), 1);
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
    QVERIFY2(squid.problem().isEmpty(), qPrintable(squid.problem()));
    Common* common = Common::instance();
    common->useProxyServer = true;
    common->proxy =
        QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", squid.port(), "skyuser", password);

    QuorixUpdate update(server->url("/list"));
    QCOMPARE(server->requestCount("/list"), accepted ? 1 : 0);
    QCOMPARE(common->status, accepted ? StatusCode::NoError : StatusCode::NetworkError);
    QCOMPARE(console.isEmpty(), accepted);
    if (!accepted)
        QVERIFY2(console.startsWith("<<<< The proxy server (127.0.0.1) requires authentication "
                                    "or the proxy username/password is incorrect. >>>>\n") &&
                     console.endsWith("(105) >>>>\n"),
                 qPrintable(console));
}

QTEST_GUILESS_MAIN(TestUpdateRequest)
#include "tst_updaterequest.moc"
