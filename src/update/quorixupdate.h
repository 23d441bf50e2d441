#pragma once

#include "publishedpatch.h"

#include <QObject>
#include <QString>

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

private:
    void parsePatchList();

    QByteArray data; // the received text as its Latin-1 bytes
    QList<VersionPatches> masterList;
};
