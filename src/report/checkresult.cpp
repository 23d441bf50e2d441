#include "checkresult.h"

#include "products/iquorixproduct.h"
#include "products/quorixconfig.h"
#include "update/availability.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

bool isSecurityPatch(const QString& securityText)
{
    const QString text = securityText.trimmed().toLower();
    return text == QLatin1String("yes") || text == QLatin1String("true") ||
           text == QLatin1String("1");
}

std::optional<QDate> releaseDate(const QString& text)
{
    static const QRegularExpression iso(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})([T ].*)?$"));
    const QRegularExpressionMatch match = iso.match(text.trimmed());
    const QDate date =
        match.hasMatch() ? QDate::fromString(match.captured(1), Qt::ISODate) : QDate();
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

QString listStateName(ListState state)
{
    switch (state) {
    case ListState::Ok:
        return QStringLiteral("ok");
    case ListState::Unreachable:
        return QStringLiteral("unreachable");
    case ListState::Invalid:
        return QStringLiteral("invalid");
    case ListState::TooLarge:
        return QStringLiteral("too-large");
    }
    return QString();
}

namespace {
void markAcknowledged(MissingPatch& missing, const QString& machine, const QDate& today,
                      const QList<Acknowledgement>& entries, QList<int>& used)
{
    for (const Acknowledgement& entry : entries) {
        const bool names = missing.patch.Name.compare(entry.patch, Qt::CaseInsensitive) == 0 ||
                           (!missing.patch.QFE_ID.isEmpty() &&
                            missing.patch.QFE_ID.compare(entry.patch, Qt::CaseInsensitive) == 0);
        if (!names || !entry.covers(machine))
            continue;
        missing.acknowledged =
            AcknowledgedMark{entry.line, entry.expires, entry.reason, today > entry.expires};
        if (!used.contains(entry.line))
            used << entry.line;
        return;
    }
}
} // namespace

void markAcknowledged(CheckResult& result)
{
    if (!result.rules.acknowledged)
        return;
    for (MissingPatch& missing : result.missing)
        markAcknowledged(missing, result.machine, result.checkedAt.date(),
                         *result.rules.acknowledged, result.acknowledgementsUsed);
}

CheckResult makeCheckResult(const QuorixUpdate& update, const InstalledSoftware& software,
                            const QString& machine, const VerdictRules& rules, const QDateTime& now,
                            StatusCode status)
{
    CheckResult result;
    result.checkedAt = now.toUTC();
    result.machine = machine;
    result.listSource = update.url();
    result.listState = update.listState();
    result.listProblem = update.problem();
    result.listFailure = update.failureHeading();
    result.listBytes = update.receivedSize();
    result.keptListAgeSeconds = update.keptCopyAge();
    if (update.fromKeptCopy())
        result.listProblem = update.fetchProblem();
    if (update.exceededTimeBudget())
        result.exceededBudgetSeconds = update.timeBudgetSeconds();
    const QList<VersionPatches> master = update.masterPatchList();
    result.versions = int(master.size());
    for (const VersionPatches& entry : master)
        result.patches += int(entry.patches.size());
    // A list naming no version says nothing of any machine; a monitor must not
    // read it as every patch installed.
    if (result.listState == ListState::Ok && master.isEmpty()) {
        result.listState = ListState::Invalid;
        result.listProblem =
            QCoreApplication::translate("CheckResult", "the list names no patches");
    }
    result.products = software.products;
    result.installedPatches = software.patches;
    result.rules = rules;
    result.status = status;
    ProductsOfPatch named(software.products);
    for (const PublishedPatch& patch : update.availablePatchesFor(software)) {
        result.missing.append(missingPatch(patch, result.checkedAt.date(), rules.graceDays));
        result.missing.last().products = named.of(patch);
    }
    markAcknowledged(result);
    return result;
}

MissingPatch missingPatch(const PublishedPatch& patch, const QDate& today, int graceDays)
{
    MissingPatch missing{patch,
                         isSecurityPatch(patch.SecurityPatch),
                         releaseDate(patch.ReleaseDate),
                         std::nullopt,
                         false,
                         {},
                         std::nullopt};
    // A date ahead of ours (a server in another time zone, a clock that is
    // behind) is a patch out today: it is missing, and only grace excuses it.
    if (missing.released)
        missing.ageDays = std::max<qint64>(0, missing.released->daysTo(today));
    missing.inGrace = missing.ageDays && *missing.ageDays < graceDays;
    return missing;
}

QList<MissingPatch> CheckResult::missingFor(const IQuorixProduct* product) const
{
    QList<MissingPatch> found;
    for (const MissingPatch& missingPatch : missing) {
        if (missingPatch.products.contains(product))
            found.append(missingPatch);
    }
    return found;
}

int CheckResult::securityCount() const
{
    return int(std::count_if(missing.begin(), missing.end(),
                             [](const MissingPatch& patch) { return patch.security; }));
}

std::optional<qint64> oldestAge(const QList<MissingPatch>& patches)
{
    std::optional<qint64> oldest;
    for (const MissingPatch& patch : patches) {
        if (patch.ageDays && (!oldest || *patch.ageDays > *oldest))
            oldest = patch.ageDays;
    }
    return oldest;
}

std::optional<qint64> CheckResult::oldestAgeDays() const
{
    return oldestAge(missing);
}

std::optional<qint64> CheckResult::exportAgeSeconds() const
{
    if (!exported || !exported->modified.isValid())
        return std::nullopt;
    return std::max<qint64>(0, exported->modified.secsTo(checkedAt));
}

std::optional<qint64> CheckResult::exportAgeDays() const
{
    const std::optional<qint64> seconds = exportAgeSeconds();
    return seconds ? std::optional<qint64>(*seconds / (24 * 60 * 60)) : std::nullopt;
}

QString exportCoverageNote(const CheckResult& result)
{
    if (!result.exported || !result.exported->vendorTrees || result.exported->installedSoftware)
        return QString();
    return QCoreApplication::translate("CheckResult",
                                       "the export holds no list of installed software: patches "
                                       "recorded only there cannot be seen");
}

QString acknowledgementNote(const MissingPatch& patch)
{
    if (!patch.acknowledged)
        return QString();
    const AcknowledgedMark& mark = *patch.acknowledged;
    return (mark.expired ? QStringLiteral("acknowledgement expired %1: %2")
                         : QStringLiteral("acknowledged until %1: %2"))
        .arg(mark.expires.toString(Qt::ISODate), mark.reason);
}

namespace {
QString counted(qint64 n, const char* one, const char* many)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}
} // namespace

QString checkStateName(CheckState state)
{
    static const char* const names[] = {"OK", "WARNING", "CRITICAL", "UNKNOWN"};
    return QLatin1String(names[int(state)]);
}

MachineCheck machineCheck(const CheckResult& result)
{
    if (result.status == StatusCode::ConfigurationReadError)
        return {CheckState::Unknown, QStringLiteral("registry export unreadable")};
    if (result.exported && !result.exported->holdsAnything())
        return {CheckState::Unknown, QStringLiteral("export holds nothing Skyvane reads")};
    // In whole days, as the message says them: 3.5 days is not over a bound of 3.
    if (const std::optional<qint64> days = result.exportAgeDays();
        days && result.rules.maxExportAgeDays > 0 && *days > result.rules.maxExportAgeDays)
        return {CheckState::Unknown, QStringLiteral("export is %1 days old").arg(*days)};
    if (result.listState != ListState::Ok) {
        QString summary = QStringLiteral("patch list ") + listStateName(result.listState);
        if (result.exceededBudgetSeconds > 0)
            summary += QStringLiteral(": no answer within %1 s").arg(result.exceededBudgetSeconds);
        else if (!result.listProblem.isEmpty())
            summary += QStringLiteral(": ") + result.listProblem;
        else if (result.listState == ListState::Unreachable)
            summary += QStringLiteral(": ") + statusMessageFor(result.status);
        return {CheckState::Unknown, summary};
    }
    CheckState state = patchState(result.missing, result.rules);
    const int count = int(result.missing.size());
    const std::optional<qint64> oldest = result.oldestAgeDays();
    QString summary =
        count == 0
            ? QStringLiteral("no updates missing")
            : QStringLiteral("%1 missing (%2 security%3)")
                  .arg(counted(count, "update", "updates"), QString::number(result.securityCount()),
                       oldest ? QStringLiteral(", oldest ") + counted(*oldest, "day", "days")
                              : QString());
    // A list from the cache is the maker's list of some hours ago: worth a
    // look, not an alarm about every machine at once.
    if (result.keptListAgeSeconds) {
        state = std::max(state, CheckState::Warning);
        summary = keptListNote(result) + QStringLiteral("; ") + summary;
    }
    return {state, summary};
}

QString keptListNote(const CheckResult& result)
{
    if (!result.keptListAgeSeconds)
        return QString();
    return QStringLiteral("list from cache, %1 old")
        .arg(counted(*result.keptListAgeSeconds / 3600, "hour", "hours"));
}

QString failureHeading(const CheckResult& result)
{
    return result.listFailure.isEmpty() ? statusMessageFor(result.status) : result.listFailure;
}

bool hasNoUsableList(const CheckResult& result)
{
    return result.listState != ListState::Ok && !result.keptListAgeSeconds;
}

QString releaseAgeText(qint64 days)
{
    if (days == 0)
        return QCoreApplication::translate("NotificationDialog", "out today");
    if (days == 1)
        return QCoreApplication::translate("NotificationDialog", "out since yesterday");
    return QCoreApplication::translate("NotificationDialog", "out for %1 days")
        .arg(QString::number(days));
}

QString dateTimeText(const QDateTime& moment)
{
    const QLocale locale;
    // The short date as the language writes it, but never with a two-digit
    // year; the long time without its zone, which the caller names if needed.
    QString date = locale.dateFormat(QLocale::ShortFormat);
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    date.replace(twoDigitYear, QStringLiteral("yyyy"));
    QString time = locale.timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    time = time.replace(zone, QStringLiteral(" ")).trimmed();
    return locale.toString(moment, date + QLatin1Char(' ') + time);
}
