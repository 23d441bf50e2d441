#include "fakeproduct.h"
#include "report/reporthtml.h"

#include <QtTest>

class TestReportHtml : public QObject
{
    Q_OBJECT

    static PublishedPatch patch(const QString& name, const QString& products, const QString& url)
    {
        PublishedPatch p;
        p.Name = name;
        p.Products = products;
        p.url = url;
        p.ReleaseDate = QStringLiteral("2026-09-08");
        return p;
    }

private slots:
    // The failure branch is checked through the dialog.
    void updatesUnderEachProductTheyName()
    {
        FakeProduct server("10.3", {"Quorix for Server"}, "S", {{"Server Patch 1", "QX1", "QX1"}});
        FakeProduct zelvan("10.3", {"Zelvan"}, "Z");
        FakeProduct flurrin("10.3", {"Flurrin"}, "F");
        const QString html = buildReportHtml(
            {&server, &zelvan, &flurrin},
            {patch("Patch 3", "Quorix for Server, Zelvan", "http://d.vandry.com/p3.exe")},
            StatusCode::NoError, QString());
        const QString updates = "<h3 style='color: #222'>Updates for %1</h3><ul>%2</ul>";
        const QString item = "<li><a href='http://d.vandry.com/p3.exe'>Patch 3</a><br>Products: "
                             "Quorix for Server, Zelvan<br>Release Date: 2026-09-08<br></li>";
        const QString patches = "<span style='color: #222; font-weight: bold;'> %1 </span>"
                                "<ul style='list-style-type: square;'><li>%2</ul><br>";
        QVERIFY(html.startsWith("<h3 style='color: #222'>Installed Products</h3><ul><li><b>S</b>"
                                "</li><li><b>Z</b></li><li><b>F</b></li></ul><hr>" +
                                updates.arg("S", item) + updates.arg("Z", item) +
                                updates.arg("F", "(no updates available)<br>") + "<hr>"));
        QVERIFY(html.contains(patches.arg("S", "Server Patch 1") + patches.arg("Z", "(none)")));
        QVERIFY(html.endsWith("<a href='http://support.vandry.com/en/downloads/"
                              "patches-servicepacks/'>http://support.vandry.com/en/downloads/"
                              "patches-servicepacks/</a></p>"));
    }

    void receivedTextIsEscapedAndOnlyWebLinksLink_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("item");
        const QString name = "&lt;b&gt;P&lt;/b&gt;";
        QTest::newRow("HTTP, quotes escaped")
            << "HTTP://a/'x"
            << "<li><a href='http://a/&#39;x'>" + name + "</a><br>"; // as the fleet page links it
        QTest::newRow("file") << "file:///etc/passwd"
                              << "<li>" + name + "<br>";
        QTest::newRow("no host") << "http:///p.exe"
                                 << "<li>" + name + "<br>";
    }
    void receivedTextIsEscapedAndOnlyWebLinksLink()
    {
        QFETCH(QString, url);
        QFETCH(QString, item);
        FakeProduct server("10.3", {"Quorix for Server"}, "Q <i>", {{"<script>", "", ""}});
        const QString html =
            buildReportHtml({&server}, {patch("<b>P</b>", "Quorix for Server <img>", url)},
                            StatusCode::NoError, "");
        QVERIFY2(html.contains(item + "Products: Quorix for Server &lt;img&gt;<br>"),
                 qPrintable(html));
        QVERIFY(html.contains("<li><b>Q &lt;i&gt;</b></li>") &&
                html.contains("<li>&lt;script&gt;</ul>"));
    }
};

QTEST_GUILESS_MAIN(TestReportHtml)
#include "tst_reporthtml.moc"
