#pragma once

#include "publishedpatch.h"

#include <QObject>
#include <QString>

class UpdateRequest;

// Fetches and parses the patch list in its constructor, with up to five
// attempts, and answers which published patches this machine is missing.
class QuorixUpdate : public QObject
{
    Q_OBJECT

public:
    static constexpr int maxAttempts = 5;

    explicit QuorixUpdate(const QString& url, QObject* parent = nullptr);
    ~QuorixUpdate() override;

    QList<PublishedPatch> availablePatches() const;
    bool isPatchInstalled(const PublishedPatch& patch) const;
    bool appliesToInstalledProduct(const PublishedPatch& patch, const QString& version) const;

    QString receivedText() const { return QString::fromLatin1(data); }
    QList<VersionPatches> masterPatchList() const { return masterList; }

public slots:
    void onDataComplete();
    void onError(QString errorMsg);

private:
    void takeReceivedText();
    void parsePatchList();

    UpdateRequest* request = nullptr;
    QByteArray data; // the received text as its Latin-1 bytes
    QByteArray parsedText;
    QList<VersionPatches> masterList;
};
