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
        UpdateRequest::setTimeoutForTesting(300);
        UpdateRequest::setMaxListBytesForTesting(1024 * 1024);
    }
    void init()
    {
        Common::instance()->resetForTesting();
        console.clear();
        setConsoleCapture(&console);
        server = std::make_unique<PatchServer>();
        QVERIFY(server->listen());
        server->setResponse("/list", Response::with(200, patchList));
    }

    void retrieval_data()
    {
        QTest::addColumn<StatusCode>("earlier");
        QTest::addColumn<Response>("response");
        QTest::addColumn<int>("requests");
        QTest::addColumn<QString>("received"); // as Latin-1 text; "LIST" for the list, "*" any
        QTest::addColumn<StatusCode>("status");
        QTest::addColumn<QString>("shown"); // the one line on the console, or nothing
        const StatusCode ok = StatusCode::NoError;
        const StatusCode failed = StatusCode::NetworkError;
        const auto row = [](const QString& name, StatusCode earlier, const Response& response,
                            int requests, const QString& received, StatusCode status,
                            const QString& shown = QString()) {
            QTest::newRow(qPrintable(name))
                << earlier << response << requests << received << status << shown;
        };
        row("list", ok, Response::with(200, patchList), 1, "LIST", ok);
        row("HTTP error: one attempt", ok, Response::with(404, "gone"), 1, "gone", failed,
            "<<<< An error occurred: Error transferring SELF - server replied: Not Found (203) "
            ">>>>");
        for (const int code : {301, 302, 307})
            row(QString::number(code) + " followed, its body dropped", ok,
                Response::with(code, "moved", "LIST"), 1, "LIST", ok);
        for (const QString target : {"file:///etc/passwd", "data:,x", "/list"})
            row("redirect to " + target + " refused", ok,
                Response::with(302, {}, target.toLatin1()), 1, "", failed,
                "<<<< An error occurred: the redirect to " + target + " was refused. >>>>");
        row("303 not followed", ok, Response::with(303, "see", "LIST"), 1, "see", ok);
        row("308 not followed", ok, Response::with(308, "perm", "LIST"), 1, "perm", ok);
        row("silent server: five attempts", ok, Response::with(200).silently(), 5, "", failed);
        row("empty answer: five attempts", ok, Response::with(200), 5, "", failed);
        row("trickle past the time-out", ok, Response::with(200, patchList).trickled(20), 5, "*",
            failed);
        const QByteArray large(1024 * 1024 + 1, ' ');
        const QString tooLarge =
            "<<<< An error occurred: the patch list at SELF is larger than 1 MiB. >>>>";
        row("too large, by its length", ok, Response::with(200, large), 1, "", failed, tooLarge);
        row("too large, as it arrives", ok, Response::with(200, large).withoutLength(), 1, "",
            failed, tooLarge);
        row("offline: no request", failed, Response::with(200, patchList), 0, "", failed);
        row("an earlier failure: one attempt", StatusCode::SettingsWriteError, Response::with(200),
            1, "", failed);
        row("redirect loop: one attempt of eleven requests", ok, Response::with(302, {}, "SELF"),
            11, "", failed,
            "<<<< An error occurred: more than 10 redirects while fetching SELF >>>>");
    }
    void retrieval()
    {
        QFETCH(StatusCode, earlier);
        QFETCH(Response, response);
        QFETCH(int, requests);
        QFETCH(QString, received);
        QFETCH(StatusCode, status);
        QFETCH(QString, shown);
        response.location.replace("LIST", server->url("/list").toLatin1());
        response.location.replace("SELF", server->url("/x").toLatin1());
        shown.replace("SELF", server->url("/x"));
        server->setResponse("/x", response);
        Common::instance()->status = earlier;
        QuorixUpdate update(server->url("/x"));
        QCOMPARE(server->requestCount("/x"), requests);
        const bool gotList = received == "LIST";
        if (received != "*")
            QCOMPARE(update.receivedText(), gotList ? QString::fromLatin1(patchList) : received);
        QCOMPARE(update.masterPatchList().size(), gotList ? 1 : 0);
        if (gotList)
            QCOMPARE(update.masterPatchList().first().version, QStringLiteral("10.3"));
        QCOMPARE(Common::instance()->status, status);
        QCOMPARE(console, shown.isEmpty() ? shown : shown + '\n');
    }
    void selfSignedCertificateIsAcceptedButNeverLeftForHttp()
    {
        PatchServer tlsServer;
        QVERIFY(tlsServer.listenTls(QStringLiteral(SKYVANE_TEST_DATA "/selfsigned.crt"),
                                    QStringLiteral(SKYVANE_TEST_DATA "/selfsigned.key")));
        tlsServer.setResponse("/list", Response::with(200, patchList));
        tlsServer.setResponse("/down", Response::with(302, {}, server->url("/list").toLatin1()));
        QCOMPARE(QuorixUpdate(tlsServer.url("/list")).masterPatchList().size(), 1);
        QuorixUpdate downgraded(tlsServer.url("/down"));
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
        Common::instance()->useProxyServer = true;
        Common::instance()->proxy =
            QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", squid.port(), "skyuser", password);
        QuorixUpdate update(server->url("/list"));
        QCOMPARE(server->requestCount("/list"), accepted ? 1 : 0);
        QCOMPARE(Common::instance()->status,
                 accepted ? StatusCode::NoError : StatusCode::NetworkError);
        QVERIFY2(accepted ? console.isEmpty()
                          : console.startsWith("<<<< The proxy server (127.0.0.1) requires "
                                               "authentication or the proxy username/password is "
                                               "incorrect. >>>>\n<<<< An error occurred: ") &&
                                console.endsWith("(105) >>>>\n"),
                 qPrintable(console));
    }

private:
    std::unique_ptr<PatchServer> server;
    QString console;
};

QTEST_GUILESS_MAIN(TestUpdateRequest)
#include "tst_updaterequest.moc"
