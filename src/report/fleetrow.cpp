#include "fleetrow.h"

#include "core/console.h"
#include "previousreport.h"

#include <QCoreApplication>
#include <QObject>

#include <algorithm>

namespace {
// The translation context of this file's texts.
struct FleetReport
{
    Q_DECLARE_TR_FUNCTIONS(FleetReport)
};
} // namespace

namespace {
int severity(CheckState state)
{
    switch (state) {
    case CheckState::Ok:
        return 0;
    case CheckState::Warning:
        return 1;
    case CheckState::Unknown:
        return 2;
    case CheckState::Critical:
        return 3;
    }
    return 0;
}

QString stateText(const CheckResult& result, CheckState state)
{
    switch (state) {
    case CheckState::Unknown:
        if (!result.exportError.isEmpty())
            return FleetReport::tr("export unreadable");
        if (result.exported && !result.exported->holdsAnything())
            return FleetReport::tr("export holds nothing");
        return result.listState == ListState::Ok ? FleetReport::tr("export too old")
                                                 : FleetReport::tr("no patch list");
    case CheckState::Critical:
        return FleetReport::tr("security updates missing");
    case CheckState::Warning:
        return FleetReport::tr("updates missing");
    case CheckState::Ok:
        break;
    }
    if (result.products.isEmpty())
        return FleetReport::tr("no products");
    if (result.missing.isEmpty())
        return FleetReport::tr("up to date");
    return result.rules.hasThresholds() ? FleetReport::tr("below thresholds")
                                        : FleetReport::tr("in grace period");
}
} // namespace

FleetRow fleetRow(const CheckResult& result, int index)
{
    FleetRow row;
    row.index = index;
    row.machine = result.machine;
    row.exportError = result.exportError;
    row.products = int(result.products.size());
    row.missing = int(result.missing.size());
    row.security = result.securityCount();
    row.oldestDays = result.oldestAgeDays();
    row.exportAgeDays = result.exportAgeDays();
    row.state = machineCheck(result).state;
    row.stateText = stateText(result, row.state);
    if (!exportCoverageNote(result).isEmpty())
        row.stateText = FleetReport::tr("%1, partial export").arg(row.stateText);
    row.status = result.status;
    row.acknowledgementsUsed = result.acknowledgementsUsed;
    row.changes = changesSince(result);
    return row;
}

std::optional<FleetChanges> fleetChanges(const QList<FleetRow>& rows, const CheckResult& anyResult)
{
    if (!anyResult.rules.previous)
        return std::nullopt;
    FleetChanges changes;
    changes.since = anyResult.rules.previous->checkedAt;
    QStringList checked;
    for (const FleetRow& row : rows) {
        checked << row.machine;
        if (row.changes && row.changes->isNew)
            ++changes.added;
        else if (row.changes && row.changes->any())
            ++changes.changed;
    }
    changes.gone = goneMachines(*anyResult.rules.previous, checked);
    return changes;
}

QString fleetChangesLine(const FleetChanges& changes)
{
    QString text = FleetReport::tr("%1: %2 changed, %3 new, %4 gone")
                       .arg(sinceTitle(changes.since))
                       .arg(changes.changed)
                       .arg(changes.added)
                       .arg(changes.gone.size());
    // The names in full are in the JSON report; a line names the first few.
    constexpr qsizetype namedGone = 20;
    if (!changes.gone.isEmpty()) {
        QString names = changes.gone.mid(0, namedGone).join(QStringLiteral(", "));
        if (changes.gone.size() > namedGone)
            names =
                FleetReport::tr("%1 and %2 more").arg(names).arg(changes.gone.size() - namedGone);
        text += QStringLiteral(" (") + printable(names) + QLatin1Char(')');
    }
    return text + QLatin1Char('.');
}

QStringList fleetColumnTitles(bool withChanges)
{
    QStringList titles{FleetReport::tr("Machine"),       FleetReport::tr("Products"),
                       FleetReport::tr("Missing"),       FleetReport::tr("Security"),
                       FleetReport::tr("Oldest (days)"), FleetReport::tr("Export (days)")};
    if (withChanges)
        titles << FleetReport::tr("Changed");
    return titles << FleetReport::tr("State");
}

QStringList fleetRowTexts(const FleetRow& row)
{
    const QString none = QStringLiteral("-");
    const bool read = row.exportError.isEmpty();
    QStringList texts{printable(row.machine),
                      read ? QString::number(row.products) : none,
                      read ? QString::number(row.missing) : none,
                      read ? QString::number(row.security) : none,
                      read && row.oldestDays ? QString::number(*row.oldestDays) : none,
                      row.exportAgeDays ? QString::number(*row.exportAgeDays) : none};
    if (row.changes)
        texts << changeCell(*row.changes);
    return texts << row.stateText;
}

QString fleetTitle(qsizetype machines)
{
    return machines == 1 ? FleetReport::tr("Quorix updates on 1 machine")
                         : FleetReport::tr("Quorix updates on %1 machines").arg(machines);
}

QString fleetListLine(const CheckResult& anyResult, const QString& checkedAtText)
{
    return FleetReport::tr("Checked %1 UTC against the patch list %2 (%3).")
        .arg(checkedAtText.isEmpty()
                 ? anyResult.checkedAt.toString(QStringLiteral("yyyy-MM-dd hh:mm"))
                 : checkedAtText,
             printable(anyResult.listSource),
             anyResult.keptListAgeSeconds ? keptListNote(anyResult)
                                          : listStateName(anyResult.listState));
}

FleetTotals fleetTotals(const QList<FleetRow>& rows)
{
    FleetTotals totals;
    for (const FleetRow& row : rows) {
        ++totals.machines[int(row.state)];
        totals.missing += row.missing;
        totals.security += row.security;
        totals.oldestDays = std::max(totals.oldestDays, row.oldestDays.value_or(0));
    }
    return totals;
}

CheckState worstState(const QList<FleetRow>& rows)
{
    CheckState worst = CheckState::Ok;
    for (const FleetRow& row : rows) {
        if (severity(row.state) > severity(worst))
            worst = row.state;
    }
    return worst;
}

QList<FleetRow> worstFirst(QList<FleetRow> rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const FleetRow& a, const FleetRow& b) {
        if (a.state != b.state)
            return severity(a.state) > severity(b.state);
        if (a.missing != b.missing)
            return a.missing > b.missing;
        return a.machine < b.machine;
    });
    return rows;
}
