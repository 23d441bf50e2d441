// The fleet as one self-contained HTML page for a mail or a printer: inline
// CSS, no scripts, nothing loaded from elsewhere. A table of the machines, the
// worst first, then per machine its products and missing patches; links only
// to http and https addresses; every received text escaped. A page for one
// machine is a fleet of one.

#include "core/console.h"
#include "html.h"
#include "products/iquorixproduct.h"
#include "reportformat.h"

#include <QCoreApplication>
#include <QObject>

namespace {
// The translation context of this file's texts.
struct FleetReport
{
    Q_DECLARE_TR_FUNCTIONS(FleetReport)
};
} // namespace

namespace {
const char* const style = R"(
body { font-family: "Segoe UI", "DejaVu Sans", Arial, sans-serif; color: #1d2733;
       margin: 24px; max-width: 1040px; font-size: 14px; }
h1 { font-size: 22px; margin: 0 0 4px; }
h2 { font-size: 17px; margin: 28px 0 8px; padding-top: 10px; border-top: 2px solid #d0d7e0;
     overflow-wrap: anywhere; }
p.meta { color: #586575; margin: 0 0 18px; }
table { border-collapse: collapse; width: 100%; }
th, td { text-align: left; padding: 6px 10px; border-bottom: 1px solid #dde3ea;
         overflow-wrap: anywhere;
         vertical-align: top; }
th { background: #eef2f6; font-weight: 600; }
td.number { text-align: right; font-variant-numeric: tabular-nums; }
.state { display: inline-block; padding: 1px 9px; border-radius: 9px; font-weight: 600; }
.critical .state, .state.critical { background: #c62828; color: #ffffff; }
.warning .state, .state.warning { background: #f2a900; color: #1d2733; }
.unknown .state, .state.unknown { background: #6b7785; color: #ffffff; }
.ok .state, .state.ok { background: #2e7d32; color: #ffffff; }
.none .state, .state.none { background: #e3e7ec; color: #1d2733; }
tr.critical td { background: #fdecea; }
tr.warning td { background: #fff6e0; }
tr.unknown td { background: #f0f2f5; }
table.patches th + th { width: 9em; }
p.error { color: #b71c1c; }
b.security { color: #cc2222; }
a { color: #0b57a4; }
section { page-break-inside: avoid; }
@media print { body { margin: 0; } a { color: #1d2733; } }
)";

// A machine without any product to patch is not shown as healthy: it has
// nothing that could be.
QString stateClass(const FleetRow& row)
{
    if (row.state == CheckState::Ok && row.products == 0)
        return QStringLiteral("none");
    return checkStateName(row.state).toLower();
}

QString cell(const QString& text, bool number = false)
{
    return (number ? QStringLiteral("<td class=\"number\">") : QStringLiteral("<td>")) + text +
           QStringLiteral("</td>");
}

// A patch's name, linked to its address when that is an http or https URL.
QString patchLink(const PublishedPatch& patch)
{
    const std::optional<QString> target = webLinkTarget(patch.url);
    if (!target)
        return escapeHtml(patch.Name) +
               (patch.url.isEmpty() ? QString() : QStringLiteral("<br>") + escapeHtml(patch.url));
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(*target, escapeHtml(patch.Name));
}

// What changed since the previous report, first on the page: the reader of
// a daily mail wants what is new before the whole state.
QString sinceSection(const QList<FleetRow>& ordered, const FleetChanges& changes)
{
    QString items;
    for (const FleetRow& row : ordered) {
        if (!row.changes || !row.changes->any())
            continue;
        items += QStringLiteral("<li><a href=\"#machine-%1\">%2</a>: %3</li>\n")
                     .arg(QString::number(row.index), escapeHtml(row.machine),
                          escapeHtml(changePhrases(*row.changes).join(QStringLiteral("; "))));
    }
    if (!changes.gone.isEmpty())
        items +=
            QStringLiteral("<li>") +
            FleetReport::tr("Gone: %1").arg(escapeHtml(changes.gone.join(QStringLiteral(", ")))) +
            QStringLiteral("</li>\n");
    return QStringLiteral("<section class=\"since\">\n<h2>%1</h2>\n")
               .arg(sinceTitle(changes.since).toHtmlEscaped()) +
           (items.isEmpty() ? QStringLiteral("<p>") + FleetReport::tr("Nothing changed.") +
                                  QStringLiteral("</p>\n")
                            : QStringLiteral("<ul>\n") + items + QStringLiteral("</ul>\n")) +
           QStringLiteral("</section>\n");
}

QString summaryTable(const QList<FleetRow>& ordered, bool withChanges)
{
    QString html = QStringLiteral("<table>\n<tr>");
    for (const QString& title : fleetColumnTitles(withChanges))
        html += QStringLiteral("<th>") + title.toHtmlEscaped() + QStringLiteral("</th>");
    html += QStringLiteral("</tr>\n");
    for (const FleetRow& row : ordered) {
        const QStringList texts = fleetRowTexts(row);
        html += QStringLiteral("<tr class=\"%1\">").arg(stateClass(row)) +
                cell(QStringLiteral("<a href=\"#machine-%1\">%2</a>")
                         .arg(QString::number(row.index), texts.first().toHtmlEscaped()));
        for (qsizetype column = 1; column + 1 < texts.size(); ++column)
            html += cell(texts.at(column).toHtmlEscaped(), true);
        html += cell(QStringLiteral("<span class=\"state\">%1</span>")
                         .arg(texts.last().toHtmlEscaped())) +
                QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</table>\n");
}

QString installedPatchesLine(const CheckResult& result)
{
    QStringList installed;
    for (const InstalledPatch& patch : result.installedPatches)
        installed << escapeHtml(patch.name);
    return QStringLiteral("<p>") + FleetReport::tr("Installed patches:") + QLatin1Char(' ') +
           (installed.isEmpty() ? FleetReport::tr("none") : installed.join(QStringLiteral(", "))) +
           QStringLiteral("</p>\n");
}

QString acknowledgedLine(const MissingPatch& m)
{
    if (!m.acknowledged)
        return QString();
    return QStringLiteral("<br><em>") + escapeHtml(acknowledgementNote(m)) +
           QStringLiteral("</em>");
}

QString productNames(const MissingPatch& m)
{
    QStringList names;
    for (const IQuorixProduct* product : m.products)
        names << escapeHtml(product->name());
    return names.join(QStringLiteral("<br>"));
}

// Red as in the report dialog.
QString securityMark()
{
    return QStringLiteral("<b class=\"security\">%1</b>")
        .arg(QCoreApplication::translate("NotificationDialog", "security fix"));
}

QString machineSection(const CheckResult& result, const FleetRow& row)
{
    QString html = QStringLiteral("<section id=\"machine-%1\">\n<h2>%2 <span class=\"state %3\">"
                                  "%4</span></h2>\n")
                       .arg(QString::number(row.index), escapeHtml(result.machine), stateClass(row),
                            row.stateText.toHtmlEscaped());
    if (!result.exportError.isEmpty())
        return html + QStringLiteral("<p class=\"error\">") + escapeHtml(result.exportError) +
               QStringLiteral("</p>\n</section>\n");
    if (const QString note = exportCoverageNote(result); !note.isEmpty())
        html += QStringLiteral("<p class=\"error\">") + escapeHtml(note) + QStringLiteral("</p>\n");
    if (result.products.isEmpty())
        return html + QStringLiteral("<p>") + FleetReport::tr("No Quorix products are installed.") +
               QStringLiteral("</p>\n</section>\n");
    if (result.missing.isEmpty()) {
        QStringList names;
        for (const IQuorixProduct* product : result.products)
            names << escapeHtml(product->name());
        html +=
            QStringLiteral("<p>") +
            FleetReport::tr("No updates missing for %1.").arg(names.join(QStringLiteral(", "))) +
            QStringLiteral("</p>\n");
        return html + installedPatchesLine(result) + QStringLiteral("</section>\n");
    }
    // A patch for several products is one row naming them all: the rows count
    // what the machine misses.
    html += QStringLiteral("<table class=\"patches\">\n<tr><th>%1</th><th>%2</th><th>%3</th>"
                           "<th>%4</th></tr>\n")
                .arg(FleetReport::tr("Missing update"), FleetReport::tr("Products"),
                     FleetReport::tr("Security"), FleetReport::tr("Released"));
    for (const MissingPatch& m : result.missing)
        html += QStringLiteral("<tr>") + cell(patchLink(m.patch) + acknowledgedLine(m)) +
                cell(productNames(m)) + cell(m.security ? securityMark() : QString()) +
                cell(releaseHtml(m)) + QStringLiteral("</tr>\n");
    return html + QStringLiteral("</table>\n") + installedPatchesLine(result) +
           QStringLiteral("</section>\n");
}

class HtmlFormat : public ReportFormat
{
public:
    void writeMachine(const CheckResult& result, QByteArray& out) const override
    {
        const FleetRow row = fleetRow(result, 1);
        writeFleetHead({row}, result, out);
        out += fleetMachineParts(result, row).first();
        writeFleetTail(out);
    }
    void writeFleetHead(const QList<FleetRow>& rows, const CheckResult& anyResult,
                        QByteArray& out) const override
    {
        const QString title = fleetTitle(rows.size());
        const QList<FleetRow> ordered = worstFirst(rows);
        const std::optional<FleetChanges> changes = fleetChanges(rows, anyResult);
        out +=
            (QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                            "<title>%1</title>\n<style>%2</style>\n</head>\n<body>\n"
                            "<h1>%1</h1>\n<p class=\"meta\">%3</p>\n")
                 .arg(title.toHtmlEscaped(), QLatin1String(style),
                      fleetListLine(anyResult, dateTimeText(anyResult.checkedAt)).toHtmlEscaped()) +
             (changes ? sinceSection(ordered, *changes) : QString()) +
             summaryTable(ordered, changes.has_value()))
                .toUtf8();
    }
    QList<QByteArray> fleetMachineParts(const CheckResult& result,
                                        const FleetRow& row) const override
    {
        return {machineSection(result, row).toUtf8()};
    }
    void writeFleetTail(QByteArray& out) const override { out += "</body>\n</html>\n"; }
    bool listsWorstFirst() const override { return true; }
};
} // namespace

std::unique_ptr<ReportFormat> makeHtmlFormat()
{
    return std::make_unique<HtmlFormat>();
}
