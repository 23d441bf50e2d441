#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

struct CheckResult;
struct PreviousReport;
enum class CheckState;

// What changed on a machine since the previous report the run compares with.
struct MachineChanges
{
    bool isNew = false; // the previous report did not have it
    std::optional<CheckState> previousState;
    CheckState state{};
    // Whether both reports knew the machine's missing patches: a list that
    // could not be read leaves none known, which is not none missing.
    bool compared = false;
    QStringList newlyMissing;
    QStringList noLongerMissing;

    bool stateChanged() const { return previousState && *previousState != state; }
    bool any() const;
};

// Of a run that compares with a previous report: the machine's changes
// since; none otherwise.
std::optional<MachineChanges> changesSince(const CheckResult& result);

// Of the machines a previous report had, those not among the checked ones.
QStringList goneMachines(const PreviousReport& previous, const QStringList& checked);

// "Since 2026-12-07 12:00 UTC", the previous report's moment.
QString sinceTitle(const QDateTime& previousCheck);
// The changes as phrases: "new since then", "was OK", "newly missing: A, B",
// "no longer missing: C", or "unchanged"; received names as they are.
QStringList changePhrases(const MachineChanges& changes);
// Short, for a table's cell: "new", "was OK +2 -1", or "-" when nothing changed.
QString changeCell(const MachineChanges& changes);
