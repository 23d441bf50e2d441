#pragma once

#include "jsoninput.h"
#include "publishedpatch.h"

#include <QObject>
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

struct InstalledSoftware;
class RetrievalHost;

// Fetches and parses the patch list in its constructor, with up to five
// attempts, and answers which published patches a machine is missing.
class QuorixUpdate : public QObject
{
    Q_OBJECT

public:
    static constexpr int maxAttempts = 5;

    // Keeps the patches of the given versions; of every version without them.
    // The retrieval may take budgetSeconds in all (0: no bound beyond its
    // attempts and their time-outs).
    QuorixUpdate(const QString& url, RetrievalHost& host,
                 const std::optional<QStringList>& wantedVersions, int budgetSeconds);

    QList<PublishedPatch> availablePatchesFor(const InstalledSoftware& software) const;

    QString url() const { return listUrl; }
    QString receivedText() const { return decodeListText(data); }
    QList<VersionPatches> masterPatchList() const { return masterList; }
    ListState listState() const { return state; }
    qsizetype receivedSize() const { return data.size(); }
    // Whether the retrieval ran out of its time budget, and what that was.
    bool exceededTimeBudget() const { return timedOut; }
    int timeBudgetSeconds() const { return budgetSeconds; }
    // Why there is no usable list, in the user's language; empty when there is.
    QString problem() const { return problemText; }

private:
    void parsePatchList(const QString& url, bool retrieved,
                        const std::optional<QStringList>& wantedVersions);

    QString listUrl;
    QByteArray data; // the received bytes
    QList<VersionPatches> masterList;
    ListState state = ListState::Unreachable;
    bool timedOut = false;
    int budgetSeconds = 0;
    QString problemText;
};
