// A check by the Monitoring Plugins guidelines: a status line with
// performance data, then one line per missing patch; the run exits with the
// check's state. A fleet's status line counts the machines by state, and
// each machine follows with its own line and its patches, the worst first.

#include "core/console.h"
#include "previousreport.h"
#include "products/iquorixproduct.h"
#include "reportformat.h"

namespace {
// "|" would start performance data, in long output too.
QString longOutputText(const QString& text)
{
    return printable(text).replace(QLatin1Char('|'), QChar(0x00a6));
}

// One line per missing patch, after the products it applies to, so that the
// lines and the count agree.
QString patchLines(const CheckResult& result, const QString& indent)
{
    QString text;
    for (const MissingPatch& m : result.missing) {
        QStringList products;
        for (const IQuorixProduct* product : m.products)
            products << product->name();
        QStringList notes;
        if (m.security)
            notes << QStringLiteral("security");
        if (m.ageDays)
            notes << QStringLiteral("%1 days").arg(*m.ageDays);
        if (m.inGrace)
            notes << QStringLiteral("in grace");
        if (m.acknowledged)
            notes << acknowledgementNote(m);
        text += indent +
                longOutputText(products.join(QStringLiteral(", ")) + QStringLiteral(": ") +
                               m.patch.Name) +
                (notes.isEmpty()
                     ? QString()
                     : QStringLiteral(" (") + notes.join(QStringLiteral(", ")) + QLatin1Char(')')) +
                QLatin1Char('\n');
    }
    return text;
}

// "Export: 2 days old", and what the export lacks: after the patches, so the
// patch lines still follow the products they name.
QString exportLine(const CheckResult& result, const QString& indent)
{
    if (!result.exported)
        return QString();
    const std::optional<qint64> days = result.exportAgeDays();
    QString text =
        indent + QStringLiteral("Export: ") +
        (days ? QStringLiteral("%1 days old").arg(*days) : QStringLiteral("age unknown"));
    if (const QString note = exportCoverageNote(result); !note.isEmpty())
        text += QStringLiteral("; ") + note;
    return longOutputText(text) + QLatin1Char('\n');
}

// "Since 2026-12-07 12:00 UTC: was OK; newly missing: A", of a run that
// compares with a previous report.
QString changesLine(const CheckResult& result, const QString& indent)
{
    const std::optional<MachineChanges> changes = changesSince(result);
    if (!changes)
        return QString();
    return indent +
           longOutputText(sinceTitle(result.rules.previous->checkedAt) + QStringLiteral(": ") +
                          changePhrases(*changes).join(QStringLiteral("; "))) +
           QLatin1Char('\n');
}

QString performanceData(const QList<std::pair<const char*, qint64>>& values)
{
    QStringList parts;
    for (const auto& [label, value] : values)
        parts << QStringLiteral("%1=%2;;;0").arg(QLatin1String(label)).arg(value);
    return parts.join(QLatin1Char(' '));
}

QString fleetStatusLine(const QList<FleetRow>& rows)
{
    const FleetTotals totals = fleetTotals(rows);
    const qint64 critical = totals.in(CheckState::Critical);
    const qint64 warning = totals.in(CheckState::Warning);
    const qint64 unknown = totals.in(CheckState::Unknown);
    return QStringLiteral("SKYVANE %1 - %2: %3 critical, %4 warning, %5 unknown, %6 ok|")
               .arg(checkStateName(worstState(rows)))
               .arg(rows.size() == 1 ? QStringLiteral("1 machine")
                                     : QStringLiteral("%1 machines").arg(rows.size()))
               .arg(critical)
               .arg(warning)
               .arg(unknown)
               .arg(totals.in(CheckState::Ok)) +
           performanceData({{"machines", rows.size()},
                            {"critical", critical},
                            {"warning", warning},
                            {"unknown", unknown},
                            {"missing", totals.missing},
                            {"security", totals.security},
                            {"oldest_days", totals.oldestDays}}) +
           QLatin1Char('\n');
}

class NagiosFormat : public ReportFormat
{
public:
    void writeMachine(const CheckResult& result, QByteArray& out) const override
    {
        const MachineCheck check = machineCheck(result);
        out += (QStringLiteral("SKYVANE %1 - %2|")
                    .arg(checkStateName(check.state), longOutputText(check.summary)) +
                performanceData({{"missing", result.missing.size()},
                                 {"security", result.securityCount()},
                                 {"oldest_days", result.oldestAgeDays().value_or(0)}}) +
                QLatin1Char('\n') + patchLines(result, QString()) + exportLine(result, QString()) +
                changesLine(result, QString()))
                   .toUtf8();
    }
    bool exitsWithCheckState() const override { return true; }

    QList<QByteArray> fleetMachineParts(const CheckResult& result,
                                        const FleetRow& row) const override
    {
        const MachineCheck check = machineCheck(result);
        return {(longOutputText(row.machine) + QStringLiteral(": ") + checkStateName(check.state) +
                 QStringLiteral(" - ") + longOutputText(check.summary) + QLatin1Char('\n') +
                 patchLines(result, QStringLiteral("  ")) +
                 exportLine(result, QStringLiteral("  ")) +
                 changesLine(result, QStringLiteral("  ")))
                    .toUtf8()};
    }
    void writeFleetHead(const QList<FleetRow>& rows, const CheckResult& anyResult,
                        QByteArray& out) const override
    {
        out += fleetStatusLine(rows).toUtf8();
        if (const std::optional<FleetChanges> changes = fleetChanges(rows, anyResult))
            out += (longOutputText(fleetChangesLine(*changes)) + QLatin1Char('\n')).toUtf8();
    }
    bool listsWorstFirst() const override { return true; }
};
} // namespace

std::unique_ptr<ReportFormat> makeNagiosFormat()
{
    return std::make_unique<NagiosFormat>();
}
