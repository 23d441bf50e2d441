#pragma once

#include "core/result.h"
#include "jsoninput.h"
#include "listcache.h"
#include "patchset.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

// What became of the patch list.
enum class ListState
{
    Ok,
    Unreachable, // the retrieval failed
    Invalid,     // received, but not JSON with a "Product" array
    TooLarge,
};

// Why there is no usable list: its state, and the reason in the user's language.
struct ListProblem
{
    ListState state = ListState::Unreachable;
    QString text;
    // What failed, as a report's heading ("The server answered HTTP 404 Not
    // Found"); empty where the run's status says it.
    QString heading;
};

// Whether the list lives on the web (http, https), not on this machine: only
// such a list needs a network, and only such a list is kept between runs.
bool isWebAddress(const QString& url);

struct InstalledSoftware;
class RetrievalHost;

// The patch list as one retrieval found it, and which published patches a
// machine is missing.
class QuorixUpdate
{
    Q_DECLARE_TR_FUNCTIONS(QuorixUpdate)

public:
    static constexpr int maxAttempts = 5;

    // Fetches and reads the list at the address, with up to five attempts,
    // keeping the patches of the given versions (of every version without
    // them). The retrieval may take budgetSeconds in all (0: no bound beyond
    // its attempts and their time-outs). With a cache, the list of a web
    // address is asked for only when it changed since the copy kept there,
    // and that copy stands in for a list the server cannot give, up to the
    // cache's bound on its age.
    static QuorixUpdate retrieve(const QString& url, RetrievalHost& host,
                                 const std::optional<QStringList>& wantedVersions,
                                 int budgetSeconds, const ListCacheUse* cache = nullptr);

    QList<PublishedPatch> availablePatchesFor(const InstalledSoftware& software) const;

    QString url() const { return listUrl; }
    // The versions and their patches; empty when there is no usable list.
    QList<VersionPatches> masterPatchList() const
    {
        return list.ok() ? list.value() : QList<VersionPatches>();
    }
    ListState listState() const { return list.ok() ? ListState::Ok : list.error().state; }
    qsizetype receivedSize() const { return receivedBytes; }
    // Whether the retrieval ran out of its time budget, and what that was.
    bool exceededTimeBudget() const { return timedOut; }
    int timeBudgetSeconds() const { return budgetSeconds; }
    // Why there is no usable list, in the user's language; empty when there is.
    QString problem() const { return list.errorString(); }
    QString failureHeading() const { return list.ok() ? QString() : list.error().heading; }
    // The list is the copy kept from an earlier run, since the server gave
    // none (for fetchProblem()); its age counts from when the server last
    // sent or confirmed it.
    bool fromKeptCopy() const { return keptCopyAgeSeconds.has_value(); }
    std::optional<qint64> keptCopyAge() const { return keptCopyAgeSeconds; }
    QString fetchProblem() const { return serverProblem; }

private:
    QuorixUpdate(const QString& url, int budgetSeconds);
    // One retrieval from the server: the list to keep when it brought a usable one.
    std::optional<CachedList> fetch(RetrievalHost& host, const QStringList* versions,
                                    const CachedList* kept);
    void standIn(const CachedList& kept, const ListCacheUse& cache, const QStringList* versions);

    QString listUrl;
    Result<QList<VersionPatches>, ListProblem> list = failure(ListProblem());
    qsizetype receivedBytes = 0;
    bool timedOut = false;
    int budgetSeconds = 0;
    std::optional<qint64> keptCopyAgeSeconds;
    QString serverProblem;
};
