#include "changes.h"

#include "checkresult.h"
#include "previousreport.h"

#include <QCoreApplication>
#include <QSet>

namespace {
// The translation context of this file's texts.
struct ReportChanges
{
    Q_DECLARE_TR_FUNCTIONS(ReportChanges)
};

// The names of the first list that the second lacks, in the first's order.
QStringList without(const QStringList& names, const QSet<QString>& others)
{
    QStringList left;
    for (const QString& name : names) {
        if (!others.contains(name))
            left << name;
    }
    return left;
}

bool patchesKnown(const CheckResult& result)
{
    return result.listState == ListState::Ok && result.exportError.isEmpty();
}
} // namespace

bool MachineChanges::any() const
{
    return isNew || stateChanged() || !newlyMissing.isEmpty() || !noLongerMissing.isEmpty();
}

std::optional<MachineChanges> changesSince(const CheckResult& result)
{
    if (!result.rules.previous)
        return std::nullopt;
    MachineChanges changes;
    changes.state = machineCheck(result).state;
    const PreviousMachine* before = result.rules.previous->machine(result.machine);
    if (!before) {
        changes.isNew = true;
        return changes;
    }
    changes.previousState = before->state;
    changes.compared = before->compared && patchesKnown(result);
    if (!changes.compared)
        return changes;
    QStringList now;
    for (const MissingPatch& m : result.missing)
        now << m.patch.Name;
    changes.newlyMissing =
        without(now, QSet<QString>(before->missing.begin(), before->missing.end()));
    changes.noLongerMissing = without(before->missing, QSet<QString>(now.begin(), now.end()));
    return changes;
}

QStringList goneMachines(const PreviousReport& previous, const QStringList& checked)
{
    QSet<QString> present;
    for (const QString& name : checked)
        present.insert(name.toCaseFolded());
    QStringList gone;
    for (const PreviousMachine& machine : previous.machines) {
        if (!present.contains(machine.name.toCaseFolded()) &&
            previous.machine(machine.name) == &machine)
            gone << machine.name;
    }
    return gone;
}

QString sinceTitle(const QDateTime& previousCheck)
{
    return ReportChanges::tr("Since %1 UTC")
        .arg(previousCheck.toUTC().toString(QStringLiteral("yyyy-MM-dd hh:mm")));
}

QStringList changePhrases(const MachineChanges& changes)
{
    if (changes.isNew)
        return {ReportChanges::tr("new since then")};
    QStringList phrases;
    if (changes.stateChanged())
        phrases << ReportChanges::tr("was %1").arg(checkStateName(*changes.previousState));
    if (!changes.newlyMissing.isEmpty())
        phrases << ReportChanges::tr("newly missing: %1")
                       .arg(changes.newlyMissing.join(QStringLiteral(", ")));
    if (!changes.noLongerMissing.isEmpty())
        phrases << ReportChanges::tr("no longer missing: %1")
                       .arg(changes.noLongerMissing.join(QStringLiteral(", ")));
    if (!changes.compared)
        phrases << ReportChanges::tr("patches not compared");
    else if (phrases.isEmpty())
        phrases << ReportChanges::tr("unchanged");
    return phrases;
}

QString changeCell(const MachineChanges& changes)
{
    if (changes.isNew)
        return ReportChanges::tr("new");
    QStringList parts;
    if (changes.stateChanged())
        parts << ReportChanges::tr("was %1").arg(checkStateName(*changes.previousState));
    if (!changes.newlyMissing.isEmpty())
        parts << QStringLiteral("+%1").arg(changes.newlyMissing.size());
    if (!changes.noLongerMissing.isEmpty())
        parts << QStringLiteral("-%1").arg(changes.noLongerMissing.size());
    return parts.isEmpty() ? QStringLiteral("-") : parts.join(QLatin1Char(' '));
}
