#pragma once

#include "changes.h"
#include "checkresult.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// What the fleet's summary needs of one machine. Only this is kept of every
// machine; the rest of its check is written out as soon as it is made.
struct FleetRow
{
    int index = 0; // in the order of the files, from 1
    QString machine;
    QString exportError;
    int products = 0;
    int missing = 0;
    int security = 0;
    std::optional<qint64> oldestDays;
    std::optional<qint64> exportAgeDays; // of a machine read from an export
    CheckState state = CheckState::Unknown;
    QString stateText;
    StatusCode status = StatusCode::NoError;
    QList<int> acknowledgementsUsed;       // lines of the acknowledgements that marked a patch
    std::optional<MachineChanges> changes; // since the previous report, when there is one
};

FleetRow fleetRow(const CheckResult& result, int index);

// The fleet table: its column titles, and a row's texts from the machine's
// name to its state ("-" for the numbers of a machine that was not read).
// With changes since a previous report, their column stands before the state.
QStringList fleetColumnTitles(bool withChanges);
QStringList fleetRowTexts(const FleetRow& row);
// "Quorix updates on 5 machines", the report's title.
QString fleetTitle(qsizetype machines);
// When the fleet was checked, and against which list in which state; the time
// as given, else in ISO form.
QString fleetListLine(const CheckResult& anyResult, const QString& checkedAtText = {});

// Of a run that compares with a previous report: when that was made, the
// machines this run checked that it did not have, those that changed, and
// those it had that this run did not check.
struct FleetChanges
{
    QDateTime since;
    qint64 added = 0;
    qint64 changed = 0; // of the machines it had
    QStringList gone;
};
std::optional<FleetChanges> fleetChanges(const QList<FleetRow>& rows, const CheckResult& anyResult);
// "Since 2026-12-07 12:00 UTC: 2 changed, 1 new, 1 gone (print-09)."
QString fleetChangesLine(const FleetChanges& changes);

// The fleet's sums: machines by state, missing and security patches, the
// oldest missing patch in days.
struct FleetTotals
{
    qint64 machines[4] = {}; // by CheckState
    qint64 missing = 0;
    qint64 security = 0;
    qint64 oldestDays = 0;

    qint64 in(CheckState state) const { return machines[int(state)]; }
};
FleetTotals fleetTotals(const QList<FleetRow>& rows);

// The worst state of the machines: CRITICAL over UNKNOWN over WARNING over OK.
CheckState worstState(const QList<FleetRow>& rows);
// The rows ordered for attention: the worst state first, then the most
// missing patches, then by name.
QList<FleetRow> worstFirst(QList<FleetRow> rows);
