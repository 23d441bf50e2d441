#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The last good list of an address, as the server sent it, with what a later
// request needs to ask whether it changed.
struct CachedList
{
    QByteArray body;
    QByteArray entityTag;    // the server's ETag, or empty
    QByteArray lastModified; // the server's Last-Modified, or empty
    QDateTime confirmed;     // when the server last sent or confirmed it (UTC)

    // Since it was confirmed, in seconds (never below 0).
    qint64 ageSeconds(const QDateTime& now) const;
};

// Why no kept list can be used; a damaged file is worth a warning, a missing
// one is not.
struct CacheMiss
{
    QString text;
    bool damaged = false;
};

// How a run keeps lists between runs: in which folder, and how old a kept
// list may be when the server cannot give one.
struct ListCacheUse
{
    QString folder;
    qint64 fallbackSeconds = 0; // 0: a kept list never stands in for the server's
    QDateTime now;              // the run's moment: ages count from it
};

// One file per list address in the folder, each replaced as a whole. A file
// is read only when it is regular, no larger than the bound on a list, this
// account's own, and whole: its address, length and checksum are checked.
class ListCache
{
public:
    ListCache(const QString& folder, qint64 maxListBytes);

    Result<CachedList, CacheMiss> read(const QString& url) const;
    Result<void> store(const QString& url, const CachedList& list) const;
    QString fileFor(const QString& url) const;

    // A validator as it may be kept and sent again: printable ASCII, not too long.
    static bool isUsableValidator(const QByteArray& value);

private:
    QString folder;
    qint64 maxListBytes;
};
