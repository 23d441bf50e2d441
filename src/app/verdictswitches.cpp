#include "verdictswitches.h"

#include "commandline.h"
#include "core/console.h"
#include "core/localfile.h"
#include "core/logger.h"
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

Result<VerdictRules> verdictRulesOfRun(const RunOptions& options)
{
    VerdictRules rules;
    const std::optional<int> graceDays = wholeNumberSwitch(options.grace, 0, 0);
    if (!graceDays)
        return failure(Check::tr("/g takes a whole number of days from 0 up, not \"%1\".")
                           .arg(printable(*options.grace)));
    rules.graceDays = *graceDays;
    // Only unattended checks tell states; the console and the windows list patches.
    const bool unattended = options.format || isFleet(options.exports);
    const std::optional<int> maxAge =
        wholeNumberSwitch(options.maxExportAge, 0, unattended ? defaultMaxExportAgeDays : 0);
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
    rules.securityOnly = options.securityOnly;
    const struct
    {
        const std::optional<QString>& text;
        Thresholds& limits;
        const char* name;
        int minimum;
    } switches[] = {{options.countLimits, rules.count, "/count", 1},
                    {options.ageLimits, rules.ageDays, "/age", 0}};
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
