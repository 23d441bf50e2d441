#include "fakeproduct.h"
#include "report/reporthtml.h"
#include "update/availability.h"

#include <QtTest>

class TestReportHtml : public QObject
{
    Q_OBJECT

    static PublishedPatch patch(const QString& name, const QString& products, const QString& url,
                                const QString& security = QStringLiteral("No"))
    {
        PublishedPatch p;
        p.Name = name;
        p.Products = products;
        p.url = url;
        p.SecurityPatch = security;
        p.ReleaseDate = QStringLiteral("2026-09-08");
        return p;
    }

    // A check as of the given day, with the products each patch names.
    static CheckResult checked(const QList<IQuorixProduct*>& products,
                               const QList<PublishedPatch>& patches,
                               const QDate& today = QDate(2026, 9, 8))
    {
        CheckResult result;
        result.checkedAt = QDateTime(today, QTime(12, 0), Qt::UTC);
        result.machine = QStringLiteral("WEB<1>");
        result.listSource = QStringLiteral("http://d.vandry.com/list.json?a=1&b=2");
        result.products = products;
        ProductsOfPatch named(products);
        for (const PublishedPatch& p : patches) {
            result.missing.append(missingPatch(p, today, 0));
            result.missing.last().products = named.of(p);
        }
        return result;
    }

private slots:
    // The failure branch is checked through the dialog.
    void updatesUnderEachProductTheyName()
    {
        FakeProduct server("10.3", {"Quorix for Server"}, "S", {{"Server Patch 1", "QX1", "QX1"}});
        FakeProduct zelvan("10.3", {"Zelvan"}, "Z");
        FakeProduct flurrin("10.3", {"Flurrin"}, "F");
        const QString html = buildReportHtml(
            checked({&server, &zelvan, &flurrin},
                    {patch("Patch 3", "Quorix for Server, Zelvan", "http://d.vandry.com/p3.exe")}));
        const QString updates = "<h3 style='color: #222'>Updates for %1</h3><ul>%2</ul>";
        const QString item = "<li><a href='http://d.vandry.com/p3.exe'>Patch 3</a><br>Products: "
                             "Quorix for Server, Zelvan<br>Release Date: 2026-09-08 (out today)"
                             "<br></li>";
        const QString patches = "<span style='color: #222; font-weight: bold;'> %1 </span>"
                                "<ul style='list-style-type: square;'><li>%2</ul><br>";
        QVERIFY2(html.contains("<h3 style='color: #222'>Installed Products</h3><ul><li><b>S</b>"
                               "</li><li><b>Z</b></li><li><b>F</b></li></ul><hr>" +
                               updates.arg("S", item) + updates.arg("Z", item) +
                               updates.arg("F", "(no updates available)<br>") + "<hr>"),
                 qPrintable(html));
        QVERIFY(html.contains(patches.arg("S", "Server Patch 1") + patches.arg("Z", "(none)")));
        QVERIFY(html.endsWith("<a href='http://support.vandry.com/en/downloads/"
                              "patches-servicepacks/'>http://support.vandry.com/en/downloads/"
                              "patches-servicepacks/</a></p>"));
    }

    void tellsWhatWasCheckedAndWhatIsUrgent_data()
    {
        QTest::addColumn<QString>("security");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("after"); // what follows the patch's link
        const QString release = "<br>Products: Quorix for Server<br>Release Date: 2026-09-08";
        QTest::newRow("security fix, a day old")
            << "Yes" << QDate(2026, 9, 9)
            << " <b style='color: #c22'>security fix</b>" + release + " (out since yesterday)";
        QTest::newRow("other fix, 90 days old")
            << "No" << QDate(2026, 12, 7) << release + " (out for 90 days)";
        QTest::newRow("released after the check: out today")
            << "no" << QDate(2026, 9, 1) << release + " (out today)";
    }
    void tellsWhatWasCheckedAndWhatIsUrgent()
    {
        QFETCH(QString, security);
        QFETCH(QDate, today);
        QFETCH(QString, after);
        FakeProduct server("10.3", {"Quorix for Server"}, "S");
        const CheckResult result = checked(
            {&server}, {patch("P", "Quorix for Server", "http://d/p.exe", security)}, today);
        const QString html = buildReportHtml(result);
        const QString when = dateTimeText(result.checkedAt.toLocalTime());
        QVERIFY2(html.startsWith("<p style='color: #555'>WEB&lt;1&gt;, checked " + when +
                                 " against http://d.vandry.com/list.json?a=1&amp;b=2</p>"),
                 qPrintable(html));
        QVERIFY2(html.contains("<li><a href='http://d/p.exe'>P</a>" + after + "<br></li>"),
                 qPrintable(html));
    }

    // The dialog and the fleet page tell a time alike: four-digit year, seconds.
    void dateTimeTextHasTheYearAndSecondsInEveryLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        for (auto [locale, text] : {std::pair{"en_US", "12/7/2026 11:32:47 AM"},
                                    {"de_DE", "07.12.2026 11:32:47"},
                                    {"ja_JP", "2026/12/07 11時32分47秒"}})
            QTest::newRow(locale) << QString(locale) << QString::fromUtf8(text);
    }
    void dateTimeTextHasTheYearAndSecondsInEveryLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        const QString shown =
            dateTimeText(QDateTime(QDate(2026, 12, 7), QTime(11, 32, 47), Qt::UTC));
        QLocale::setDefault(before);
        QCOMPARE(shown, text);
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
        const QString html = buildReportHtml(
            checked({&server}, {patch("<b>P</b>", "Quorix for Server <img>", url)}));
        QVERIFY2(html.contains(item + "Products: Quorix for Server &lt;img&gt;<br>"),
                 qPrintable(html));
        QVERIFY(html.contains("<li><b>Q &lt;i&gt;</b></li>") &&
                html.contains("<li>&lt;script&gt;</ul>"));
    }
};

QTEST_GUILESS_MAIN(TestReportHtml)
#include "tst_reporthtml.moc"
