#include "systemevents.h"

#include "core/console.h"

namespace {
// The names of a list, the first ones in full: an event is read on one screen.
QString names(const QStringList& all)
{
    constexpr qsizetype shown = 20;
    QString text = all.mid(0, shown).join(QStringLiteral(", "));
    if (all.size() > shown)
        text += QStringLiteral(" and %1 more").arg(all.size() - shown);
    return printable(text);
}

SystemEvent eventOf(bool failed, bool missing, const QString& text)
{
    if (failed)
        return {SystemEvent::Kind::Error, checkFailedEventId, text};
    if (missing)
        return {SystemEvent::Kind::Warning, patchesMissingEventId, text};
    return {SystemEvent::Kind::Information, nothingMissingEventId, text};
}
} // namespace

SystemEvent machineEvent(const CheckResult& result)
{
    const MachineCheck check = machineCheck(result);
    QString text =
        QStringLiteral("Skyvane checked %1: %2 - %3.")
            .arg(printable(result.machine), checkStateName(check.state), printable(check.summary));
    QStringList security;
    for (const MissingPatch& m : result.missing) {
        if (m.security)
            security << m.patch.Name;
    }
    if (!security.isEmpty())
        text += QStringLiteral(" Security updates missing: %1.").arg(names(security));
    text += QStringLiteral(" Patch list: %1").arg(printable(result.listSource));
    return eventOf(check.state == CheckState::Unknown, !result.missing.isEmpty(), text);
}

SystemEvent fleetEvent(const QList<FleetRow>& rows, const CheckResult& anyResult)
{
    const FleetTotals totals = fleetTotals(rows);
    QString text = QStringLiteral("Skyvane checked %1 machines: %2 - %3 critical, %4 warning, "
                                  "%5 unknown, %6 ok; %7 updates missing (%8 security).")
                       .arg(rows.size())
                       .arg(checkStateName(worstState(rows)))
                       .arg(totals.in(CheckState::Critical))
                       .arg(totals.in(CheckState::Warning))
                       .arg(totals.in(CheckState::Unknown))
                       .arg(totals.in(CheckState::Ok))
                       .arg(totals.missing)
                       .arg(totals.security);
    QStringList lacking;
    QStringList unknown;
    for (const FleetRow& row : rows) {
        if (row.security > 0)
            lacking << row.machine;
        if (row.state == CheckState::Unknown)
            unknown << row.machine + QStringLiteral(" (") + row.stateText + QLatin1Char(')');
    }
    if (!lacking.isEmpty())
        text += QStringLiteral(" Security updates missing on: %1.").arg(names(lacking));
    if (!unknown.isEmpty())
        text += QStringLiteral(" Unknown: %1.").arg(names(unknown));
    text += QStringLiteral(" Patch list: %1").arg(printable(anyResult.listSource));
    return eventOf(totals.in(CheckState::Unknown) > 0 || anyResult.listState != ListState::Ok,
                   totals.missing > 0, text);
}
