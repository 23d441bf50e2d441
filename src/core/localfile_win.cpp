#include "localfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
struct LocalFile
{
    Q_DECLARE_TR_FUNCTIONS(LocalFile)
};
} // namespace

// Windows names are UTF-16 text, so a path is its text; a named pipe or a
// device never blocks an open for reading here the way a FIFO does on Unix.
LocalPath LocalPath::fromNative(const QByteArray& nativeBytes)
{
    return LocalPath(QString::fromUtf8(nativeBytes));
}

OpenedFile openRegularFile(const LocalPath& path, qint64 maxBytes)
{
    auto file = std::make_unique<QFile>(path.shown());
    if (!file->open(QIODevice::ReadOnly))
        return {nullptr, LocalFile::tr("it cannot be opened: %1").arg(file->errorString())};
    const QFileInfo info(path.shown());
    if (!info.isFile() || file->isSequential())
        return {nullptr, LocalFile::tr("it is not a regular file")};
    if (file->size() > maxBytes)
        return {nullptr,
                LocalFile::tr("the file is larger than %1 MiB")
                    .arg(QString::number(double(maxBytes) / (1024 * 1024))),
                true};
    return {std::move(file), QString()};
}

FolderListing listFolder(const LocalPath& folder, const QString& suffix)
{
    FolderListing listing;
    const QDir dir(folder.shown());
    if (!dir.exists() || !dir.isReadable()) {
        listing.error = LocalFile::tr("the folder cannot be read");
        return listing;
    }
    const QStringList names =
        dir.entryList({QStringLiteral("*") + suffix},
                      QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                      QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names)
        listing.entries.append(LocalPath(dir.filePath(name)));
    return listing;
}
