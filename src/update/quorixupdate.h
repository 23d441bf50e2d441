#pragma once

#include "publishedpatch.h"

#include <QObject>
#include <QString>

// What became of the patch list.
enum class ListState
{
    Ok,
    Unreachable, // the retrieval failed
    Invalid,     // received, but not JSON with a "Product" array
    TooLarge,
};

// Fetches and parses the patch list in its constructor, with up to five
// attempts, and answers which published patches this machine is missing.
class QuorixUpdate : public QObject
{
    Q_OBJECT

public:
    static constexpr int maxAttempts = 5;

    explicit QuorixUpdate(const QString& url, QObject* parent = nullptr);

    QList<PublishedPatch> availablePatches() const;

    QString receivedText() const { return QString::fromLatin1(data); }
    QList<VersionPatches> masterPatchList() const { return masterList; }
    ListState listState() const { return state; }
    qsizetype receivedSize() const { return data.size(); }

private:
    void parsePatchList(const QString& url, bool retrieved);

    QByteArray data; // the received text as its Latin-1 bytes
    QList<VersionPatches> masterList;
    ListState state = ListState::Unreachable;
};
