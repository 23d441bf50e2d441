#pragma once

#include "core/statuscode.h"
#include "products/exportfacts.h"
#include "products/installedpatch.h"
#include "update/publishedpatch.h"
#include "update/quorixupdate.h"
#include "verdictrules.h"

#include <QDate>
#include <QDateTime>
#include <QList>

#include <optional>

class IQuorixProduct;
struct InstalledSoftware;

// An acknowledgement that names a missing patch on this machine.
struct AcknowledgedMark
{
    int line = 0; // of its entry in the file
    QDate expires;
    QString reason;
    bool expired = false; // the check is past its last day: the patch counts again
};

// A missing patch as a check reports it: whether it is a security fix and
// how long it has been out.
struct MissingPatch
{
    PublishedPatch patch;
    bool security = false;
    std::optional<QDate> released;
    std::optional<qint64> ageDays;
    bool inGrace = false;            // younger than the grace period: listed, but raises nothing
    QList<IQuorixProduct*> products; // the installed products it names
    std::optional<AcknowledgedMark> acknowledged;
};

// Everything one check found, once, for every machine-readable output.
struct CheckResult
{
    QDateTime checkedAt; // UTC
    QString machine;
    QString exportError;                 // why the machine's registry export could not be read
    std::optional<ExportFacts> exported; // of a machine read from its registry export
    QString listSource;
    ListState listState = ListState::Unreachable;
    QString listProblem; // why the list is not usable, in the user's language
    QString listFailure; // what failed, as a heading; empty where the status says
    qint64 listBytes = 0;
    // The list is the copy kept from an earlier run, this old, since the
    // server gave none (listProblem says why).
    std::optional<qint64> keptListAgeSeconds;
    int versions = 0;
    int patches = 0; // of the installed versions
    QList<IQuorixProduct*> products;
    QList<InstalledPatch> installedPatches;
    QList<MissingPatch> missing; // each distinct patch once, in patch-list order
    VerdictRules rules;
    QList<int> acknowledgementsUsed; // the lines of the entries that marked a patch
    int exceededBudgetSeconds = 0;   // the retrieval's time budget, when it ran out
    StatusCode status = StatusCode::NoError;

    // The missing patches that name a product.
    QList<MissingPatch> missingFor(const IQuorixProduct* product) const;
    int securityCount() const;
    std::optional<qint64> oldestAgeDays() const;
    // Of the export, from its modification time to the check (never below 0).
    std::optional<qint64> exportAgeSeconds() const;
    std::optional<qint64> exportAgeDays() const; // whole days of it
};

// What failed in a check without a usable list, as the report heads it:
// the server, its certificate, the proxy or the network.
QString failureHeading(const CheckResult& result);
// The check found no list to compare with, not even a kept copy.
bool hasNoUsableList(const CheckResult& result);
// How long ago a patch came out, as the reader counts days: "out for 12 days".
QString releaseAgeText(qint64 days);
// A moment in the reader's language, in one form everywhere: a four-digit
// year and seconds.
QString dateTimeText(const QDateTime& moment);

// How a check stands, by the numbers of the Monitoring Plugins.
enum class CheckState
{
    Ok = 0,
    Warning = 1,  // only non-security patches missing
    Critical = 2, // a security patch missing
    Unknown = 3,  // no usable list, or an unreadable registry export
};
struct MachineCheck
{
    CheckState state = CheckState::Unknown;
    QString summary; // "3 updates missing (1 security, oldest 45 days)"
};
MachineCheck machineCheck(const CheckResult& result);
// What a reader must know of the machine's export beyond its state: that it
// lacks the list of installed software; empty when nothing is amiss.
QString exportCoverageNote(const CheckResult& result);

// Marks the missing patches that an acknowledgement of the rules names for
// the machine (the first entry that does), and notes the entries used.
void markAcknowledged(CheckResult& result);

// "acknowledged until 2027-01-31: REASON" or "acknowledgement expired
// 2026-11-30: REASON"; empty for a patch no acknowledgement names.
QString acknowledgementNote(const MissingPatch& patch);

// "list from cache, 5 hours old" for a list that a kept copy stood in for;
// empty otherwise.
QString keptListNote(const CheckResult& result);

// "OK", "WARNING", "CRITICAL", "UNKNOWN".
QString checkStateName(CheckState state);

// "ok", "unreachable", "invalid", "too-large".
QString listStateName(ListState state);
bool isSecurityPatch(const QString& securityText);
// The age of the oldest patch whose release date is known.
std::optional<qint64> oldestAge(const QList<MissingPatch>& patches);
// "YYYY-MM-DD", optionally followed by a time.
std::optional<QDate> releaseDate(const QString& text);

// A patch the machine lacks, as of the given day: its age in whole days
// (never below 0) and whether it is younger than the grace period.
MissingPatch missingPatch(const PublishedPatch& patch, const QDate& today, int graceDays);

// The check of a machine against the list, as of now, in the run's status.
CheckResult makeCheckResult(const QuorixUpdate& update, const InstalledSoftware& software,
                            const QString& machine, const VerdictRules& rules, const QDateTime& now,
                            StatusCode status);
