#include "verdictswitches.h"

#include "commandline.h"
#include "core/console.h"
#include "core/localfile.h"
#include "core/logger.h"
#include "core/policy.h"
#include "fleet.h"
#include "messages.h"
#include "report/previousreport.h"

#include <QCoreApplication>

namespace {
// The translation context of this file's texts.
struct Check
{
    Q_DECLARE_TR_FUNCTIONS(Check)
};

// A daily export task that missed a run, or a weekend, is not stale yet.
constexpr int defaultMaxExportAgeDays = 3;
} // namespace

namespace {
// "W,C" of a policy's pair of limits, as the switch takes them; none when
// unset. The template's number fields cannot be empty: 0 leaves a limit unset.
std::optional<QString> policyLimits(const std::optional<int>& warning,
                                    const std::optional<int>& critical)
{
    const auto set = [](const std::optional<int>& limit) { return limit && *limit > 0; };
    if (!set(warning) && !set(critical))
        return std::nullopt;
    const auto text = [&set](const std::optional<int>& limit) {
        return set(limit) ? QString::number(*limit) : QString();
    };
    return text(warning) + QLatin1Char(',') + text(critical);
}
} // namespace

Result<VerdictRules> verdictRulesOfRun(const RunOptions& options, const Policy& policy)
{
    VerdictRules rules;
    const std::optional<int> graceDays = wholeNumberSwitch(options.grace, 0, 0);
    if (!graceDays)
        return failure(Check::tr("/g takes a whole number of days from 0 up, not \"%1\".")
                           .arg(printable(*options.grace)));
    rules.graceDays = *graceDays;
    // Only unattended checks tell states; the console and the windows list patches.
    const bool unattended = options.format || isFleet(options.exports);
    const std::optional<int> maxAge = wholeNumberSwitch(
        options.maxExportAge, 0,
        unattended ? policy.maxExportAgeDays.value_or(defaultMaxExportAgeDays) : 0);
    if (!maxAge)
        return failure(Check::tr("/maxage takes a whole number of days from 0 up, not \"%1\".")
                           .arg(printable(*options.maxExportAge)));
    rules.maxExportAgeDays = *maxAge;
    if (options.acknowledged) {
        Result<QList<Acknowledgement>> entries =
            readAcknowledgements(LocalPath(*options.acknowledged));
        if (!entries.ok())
            return failure(entries.errorString());
        rules.acknowledged =
            std::make_shared<const QList<Acknowledgement>>(std::move(entries).value());
    }
    if (options.since) {
        if (!unattended)
            return failure(Check::tr("/since compares machine-readable reports: give it with /f "
                                     "or with a fleet of exports."));
        Result<PreviousReport> previous = readPreviousReport(LocalPath(*options.since));
        if (!previous.ok())
            return failure(previous.errorString());
        rules.previous = std::make_shared<const PreviousReport>(std::move(previous).value());
    }
    rules.securityOnly = options.securityOnly || policy.securityOnly.value_or(false);
    const struct
    {
        std::optional<QString> text;
        Thresholds& limits;
        const char* name;
        int minimum;
    } switches[] = {{options.countLimits ? options.countLimits
                                         : policyLimits(policy.countWarning, policy.countCritical),
                     rules.count, options.countLimits ? "/count" : "CountWarning,CountCritical", 1},
                    {options.ageLimits ? options.ageLimits
                                       : policyLimits(policy.ageWarning, policy.ageCritical),
                     rules.ageDays, options.ageLimits ? "/age" : "AgeWarning,AgeCritical", 0}};
    for (const auto& given : switches) {
        if (!given.text)
            continue;
        const Result<Thresholds> limits = parseThresholds(*given.text, given.minimum);
        if (!limits.ok())
            return failure(Check::tr("%1 \"%2\" cannot be used: %3")
                               .arg(QLatin1String(given.name), printable(given.text->left(40)),
                                    limits.errorString()));
        given.limits = limits.value();
    }
    return rules;
}

void reportUnusedAcknowledgements(const VerdictRules& rules, const QList<int>& used)
{
    for (const Acknowledgement& entry : unusedAcknowledgements(rules, used)) {
        const QString text = Check::tr("The acknowledgement of \"%1\" (line %2) matches no "
                                       "missing patch of this run.")
                                 .arg(printable(entry.patch))
                                 .arg(entry.line);
        qCWarning(lcApp).noquote() << text;
        showInformationMessage(Check::tr("Unused Acknowledgement"), text, nullptr);
    }
}
