#include "listcache.h"

#include "core/cachefolder.h"
#include "core/localfile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QSaveFile>
#include <QUrl>

#include <algorithm>

namespace {
struct ListCacheText
{
    Q_DECLARE_TR_FUNCTIONS(ListCache)
};

const QByteArray magic = "skyvane list cache 1";
// The head is a few short lines; anything longer is not a file of ours.
constexpr qint64 maxHeadBytes = 4096;
constexpr int maxValidatorBytes = 512;

QByteArray checksum(const QByteArray& body)
{
    return QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex();
}

CacheMiss damaged(const QString& file, const QString& why)
{
    return {ListCacheText::tr("the kept list %1 is damaged: %2").arg(file, why), true};
}
} // namespace

qint64 CachedList::ageSeconds(const QDateTime& now) const
{
    return std::max<qint64>(0, confirmed.secsTo(now));
}

ListCache::ListCache(const QString& cacheFolder, qint64 maxBytes)
    : folder(cacheFolder), maxListBytes(maxBytes)
{
}

bool ListCache::isUsableValidator(const QByteArray& value)
{
    return value.size() <= maxValidatorBytes &&
           std::all_of(value.begin(), value.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
}

QString ListCache::fileFor(const QString& url) const
{
    const QByteArray key = QCryptographicHash::hash(url.toUtf8(), QCryptographicHash::Sha256);
    return folder + QStringLiteral("/list-") + QString::fromLatin1(key.toHex().left(32)) +
           QStringLiteral(".cache");
}

Result<CachedList, CacheMiss> ListCache::read(const QString& url) const
{
    const QString name = fileFor(url);
    if (!QFile::exists(name))
        return failure(CacheMiss{ListCacheText::tr("no list is kept for %1").arg(url), false});
    const OpenedFile opened = openRegularFile(LocalPath(name), maxListBytes + maxHeadBytes);
    if (!opened.ok())
        return failure(damaged(name, opened.errorString()));
    if (!isOwnFile(*opened.value()))
        return failure(damaged(name, ListCacheText::tr("it belongs to another account")));
    const QByteArray data = opened.value()->read(maxListBytes + maxHeadBytes + 1);
    const qsizetype headEnd = data.indexOf("\n\n");
    if (headEnd < 0 || headEnd > maxHeadBytes)
        return failure(damaged(name, ListCacheText::tr("it has no head")));
    const QList<QByteArray> lines = data.left(headEnd).split('\n');
    if (lines.value(0) != magic)
        return failure(damaged(name, ListCacheText::tr("it is no kept list")));
    CachedList list;
    QByteArray keptUrl, length, sum;
    for (const QByteArray& line : lines.mid(1)) {
        const QByteArray key = line.left(line.indexOf(' '));
        const QByteArray value = line.mid(key.size() + 1);
        if (key == "url")
            keptUrl = value;
        else if (key == "etag" && isUsableValidator(value))
            list.entityTag = value;
        else if (key == "last-modified" && isUsableValidator(value))
            list.lastModified = value;
        else if (key == "confirmed")
            list.confirmed = QDateTime::fromString(QString::fromLatin1(value), Qt::ISODate);
        else if (key == "length")
            length = value;
        else if (key == "sha256")
            sum = value;
        else
            return failure(damaged(name, ListCacheText::tr("its head is not understood")));
    }
    if (QUrl::fromPercentEncoding(keptUrl) != url)
        return failure(damaged(name, ListCacheText::tr("it is the list of another address")));
    if (!list.confirmed.isValid())
        return failure(damaged(name, ListCacheText::tr("it says not when it was fetched")));
    list.body = data.mid(headEnd + 2);
    if (length != QByteArray::number(list.body.size()) || sum != checksum(list.body))
        return failure(damaged(name, ListCacheText::tr("the list in it is not whole")));
    return list;
}

Result<void> ListCache::store(const QString& url, const CachedList& list) const
{
    const QString name = fileFor(url);
    const Result<void> made = makePrivateFolder(folder);
    if (!made.ok())
        return made;
    QByteArray head = magic + "\nurl " + QUrl::toPercentEncoding(url) + '\n';
    if (!list.entityTag.isEmpty() && isUsableValidator(list.entityTag))
        head += "etag " + list.entityTag + '\n';
    if (!list.lastModified.isEmpty() && isUsableValidator(list.lastModified))
        head += "last-modified " + list.lastModified + '\n';
    head += "confirmed " + list.confirmed.toUTC().toString(Qt::ISODate).toLatin1() + '\n';
    head += "length " + QByteArray::number(list.body.size()) + '\n';
    head += "sha256 " + checksum(list.body) + "\n\n";
    if (head.size() > maxHeadBytes)
        return failure(ListCacheText::tr("the address is too long to keep its list: %1").arg(url));
    QSaveFile file(name);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                         file.write(head) == head.size() &&
                         file.write(list.body) == list.body.size() && file.commit();
    if (!written)
        return failure(ListCacheText::tr("the list cannot be kept in %1: %2")
                           .arg(QDir::toNativeSeparators(name), file.errorString()));
    return {};
}
