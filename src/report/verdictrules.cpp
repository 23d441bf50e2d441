#include "verdictrules.h"

#include "checkresult.h"

#include <QCoreApplication>

#include <algorithm>
#include <functional>

namespace {
// The translation context of this file's texts.
struct Verdicts
{
    Q_DECLARE_TR_FUNCTIONS(Verdicts)
};

std::optional<int> limit(const QString& text, int minimum, bool* readable)
{
    if (text.isEmpty())
        return std::nullopt;
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    *readable = *readable && isNumber && number >= minimum;
    return number;
}

CheckState stateOf(const Thresholds& limits, const std::function<bool(int)>& reached)
{
    if (limits.critical && reached(*limits.critical))
        return CheckState::Critical;
    if (limits.warning && reached(*limits.warning))
        return CheckState::Warning;
    return CheckState::Ok;
}
} // namespace

Result<Thresholds> parseThresholds(const QString& text, int minimum)
{
    const QStringList parts = text.split(QLatin1Char(','));
    bool readable = parts.size() <= 2 && text.size() <= 40;
    Thresholds thresholds;
    if (readable) {
        thresholds.warning = limit(parts.value(0).trimmed(), minimum, &readable);
        thresholds.critical = limit(parts.value(1).trimmed(), minimum, &readable);
    }
    if (!readable || !thresholds.isSet())
        return failure(Verdicts::tr("it is no WARNING,CRITICAL pair of whole numbers from %1 up "
                                    "(\"5,10\", \"5\" or \",10\").")
                           .arg(minimum));
    if (thresholds.warning && thresholds.critical && *thresholds.warning > *thresholds.critical)
        return failure(Verdicts::tr("the WARNING limit is above the CRITICAL one."));
    return thresholds;
}

QList<Acknowledgement> unusedAcknowledgements(const VerdictRules& rules, const QList<int>& used)
{
    QList<Acknowledgement> unused;
    if (rules.acknowledged) {
        for (const Acknowledgement& entry : *rules.acknowledged) {
            if (!used.contains(entry.line))
                unused << entry;
        }
    }
    return unused;
}

bool countsForState(const MissingPatch& patch, const VerdictRules& rules)
{
    const bool excused = patch.acknowledged && !patch.acknowledged->expired;
    return !patch.inGrace && !excused && (patch.security || !rules.securityOnly);
}

CheckState patchState(const QList<MissingPatch>& missing, const VerdictRules& rules)
{
    QList<const MissingPatch*> counted;
    for (const MissingPatch& patch : missing) {
        if (countsForState(patch, rules))
            counted.append(&patch);
    }
    if (!rules.count.isSet() && !rules.ageDays.isSet()) {
        if (std::any_of(counted.begin(), counted.end(),
                        [](const MissingPatch* patch) { return patch->security; }))
            return CheckState::Critical;
        return counted.isEmpty() ? CheckState::Ok : CheckState::Warning;
    }
    const CheckState byCount =
        stateOf(rules.count, [&counted](int atLeast) { return counted.size() >= atLeast; });
    const CheckState byAge = stateOf(rules.ageDays, [&counted](int days) {
        return std::any_of(counted.begin(), counted.end(), [days](const MissingPatch* patch) {
            return !patch->ageDays || *patch->ageDays > days;
        });
    });
    return std::max(byCount, byAge);
}
