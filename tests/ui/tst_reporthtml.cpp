#include "fakeproduct.h"
#include "ui/reporthtml.h"

#include <QtTest>

namespace {
PublishedPatch patch(const QString& name, const QString& products, const QString& url)
{
    PublishedPatch p;
    p.Name = name;
    p.Products = products;
    p.url = url;
    p.ReleaseDate = QStringLiteral("2026-09-08");
    return p;
}

const QString support = QStringLiteral(
    "<hr><p>To browse a full list of Vandry patches and service packs, visit the Vandry Support "
    "site:</p><p><a href='http://support.vandry.com/en/downloads/patches-servicepacks/'>"
    "http://support.vandry.com/en/downloads/patches-servicepacks/</a></p>");
} // namespace

class TestReportHtml : public QObject
{
    Q_OBJECT

private slots:
    void patchUnderTwoProducts();
    void nonZeroStatusReplacesUpdates();
    void noProducts();
    void hostileTextIsEscaped();
    void onlyWebLinks_data();
    void onlyWebLinks();
};

void TestReportHtml::patchUnderTwoProducts()
{
    FakeProduct server("10.3", {"Quorix for Server"}, "Quorix 10.3 for Server",
                       {{"Server Patch 1", "QX1", "QX1"}});
    FakeProduct flurrin("10.3", {"Quorix Flurrin Extension"}, "Flurrin", {});
    FakeProduct zelvan("10.3", {"Zelvan for Quorix"}, "Zelvan", {});
    const PublishedPatch both = patch("Patch 3", "Quorix for Server, Quorix Flurrin Extension",
                                      "http://downloads.vandry.com/p3.exe");
    const QString html = buildReportHtml({&server, &flurrin, &zelvan}, {both}, 0, "No Error");
    const QString item = QStringLiteral(
        "<li><a href='http://downloads.vandry.com/p3.exe'>Patch 3</a><br>Products: Quorix for "
        "Server, Quorix Flurrin Extension<br>Release Date: 2026-09-08<br></li>");
    QCOMPARE(html,
             QStringLiteral("<h3 style='color: #222'>Installed Products</h3><ul>"
                            "<li><b>Quorix 10.3 for Server</b></li><li><b>Flurrin</b></li>"
                            "<li><b>Zelvan</b></li></ul><hr>"
                            "<h3 style='color: #222'>Updates for Quorix 10.3 for Server</h3><ul>") +
                 item +
                 QStringLiteral("</ul><h3 style='color: #222'>Updates for Flurrin</h3><ul>") +
                 item +
                 QStringLiteral("</ul><h3 style='color: #222'>Updates for Zelvan</h3><ul>"
                                "(no updates available)<br></ul><hr>"
                                "<h3 style='color: #222'>Installed Patches</h3>"
                                "<ul style='list-style-type: square;'>"
                                "<span style='color: #222; font-weight: bold;'> Quorix 10.3 for "
                                "Server </span><ul style='list-style-type: square;'>"
                                "<li>Server Patch 1</ul><br>"
                                "<span style='color: #222; font-weight: bold;'> Flurrin </span>"
                                "<ul style='list-style-type: square;'><li>(none)</ul><br>"
                                "<span style='color: #222; font-weight: bold;'> Zelvan </span>"
                                "<ul style='list-style-type: square;'><li>(none)</ul><br></ul>") +
                 support);
}

void TestReportHtml::nonZeroStatusReplacesUpdates()
{
    FakeProduct server("10.3", {"Quorix for Server"}, "Server", {{"P1", "N/A", "N/A"}});
    const QString html = buildReportHtml({&server}, {patch("P2", "Quorix for Server", "http://x/")},
                                         3, "Network connection error.");
    QCOMPARE(html, QStringLiteral("<h3 style='color: #222'>Installed Products</h3><ul>"
                                  "<li><b>Server</b></li></ul><hr>"
                                  "<h4 style='color: #c22'>Network connection error.</h4><hr>"
                                  "<h3 style='color: #222'>Installed Patches</h3>"
                                  "<ul style='list-style-type: square;'>"
                                  "<span style='color: #222; font-weight: bold;'> Server </span>"
                                  "<ul style='list-style-type: square;'><li>P1</ul><br></ul>") +
                       support);
}

void TestReportHtml::noProducts()
{
    const QString html = buildReportHtml({}, {}, 0, "No Error");
    QCOMPARE(html, QStringLiteral("<h3 style='color: #222'>Installed Products</h3><ul></ul><hr>"
                                  "<p>No products found!</p><hr>"
                                  "<h3 style='color: #222'>Installed Patches</h3>"
                                  "<ul style='list-style-type: square;'></ul>") +
                       support);
}

void TestReportHtml::hostileTextIsEscaped()
{
    FakeProduct server("10.3", {"Quorix for Server"}, "Q <i>S</i>",
                       {{"<script>x</script>", "", ""}});
    PublishedPatch hostile =
        patch("<b>x</b>", "Quorix for Server <img src=x>", "http://a/'onmouseover='alert(1)");
    hostile.ReleaseDate = "&amp;";
    const QString html = buildReportHtml({&server}, {hostile}, 0, "No Error");
    QVERIFY(html.contains(QStringLiteral(">&lt;b&gt;x&lt;/b&gt;</a>")));
    QVERIFY(html.contains(QStringLiteral("Products: Quorix for Server &lt;img src=x&gt;<br>")));
    QVERIFY(html.contains(QStringLiteral("Release Date: &amp;amp;<br>")));
    QVERIFY(html.contains(QStringLiteral("href='http://a/&#39;onmouseover=&#39;alert(1)'")));
    QVERIFY(html.contains(QStringLiteral("<li>&lt;script&gt;x&lt;/script&gt;")));
    QVERIFY(html.contains(QStringLiteral("<b>Q &lt;i&gt;S&lt;/i&gt;</b>")));
    QVERIFY(!html.contains(QStringLiteral("<b>x</b>")));
}

void TestReportHtml::onlyWebLinks_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("linked");
    QTest::newRow("http") << "http://downloads.vandry.com/p.exe" << true;
    QTest::newRow("https") << "https://downloads.vandry.com/p.exe" << true;
    QTest::newRow("upper-case scheme") << "HTTPS://downloads.vandry.com/p.exe" << true;
    QTest::newRow("file") << "file:///etc/passwd" << false;
    QTest::newRow("javascript") << "javascript:alert(1)" << false;
    QTest::newRow("bare path") << "/patches/p.exe" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("no host") << "http:///p.exe" << false;
}

void TestReportHtml::onlyWebLinks()
{
    QFETCH(QString, url);
    QFETCH(bool, linked);
    FakeProduct server("10.3", {"Quorix for Server"}, "Server");
    const QString html = buildReportHtml({&server}, {patch("P", "Quorix for Server", url)}, 0, "");
    QCOMPARE(html.contains(QStringLiteral("<a href='%1'>P</a>").arg(escapeHtml(url))), linked);
    QCOMPARE(html.contains(QStringLiteral("<li>P<br>")), !linked);
}

QTEST_GUILESS_MAIN(TestReportHtml)
#include "tst_reporthtml.moc"
