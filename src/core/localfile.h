#pragma once

#include "result.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>

// A path as the file system spells it. On Unix a name is bytes that need not
// be UTF-8: such a name is shown with replacement characters but opened by
// its own bytes, so two names that look alike stay two files.
class LocalPath
{
public:
    LocalPath() = default;
    explicit LocalPath(const QString& path) : text(path), bytes(QFile::encodeName(path)) {}
    static LocalPath fromNative(const QByteArray& nativeBytes);

    QString shown() const { return text; }
    QByteArray native() const { return bytes; }
    bool operator==(const LocalPath& other) const { return bytes == other.bytes; }

private:
    QString text;
    QByteArray bytes;
};

// Why a file was not opened: "it is not a regular file (a FIFO)", ...
struct FileError
{
    QString text;
    bool tooLarge = false; // a regular file, larger than the bound
};
using OpenedFile = Result<std::unique_ptr<QFile>, FileError>;

// Opens a regular file no larger than maxBytes for reading: opened once,
// without blocking (a FIFO or device never stalls the open), and checked on
// the open descriptor, so nothing swapped in after a check is read.
OpenedFile openRegularFile(const LocalPath& path, qint64 maxBytes);

// The entries of a folder whose names end in the suffix (in any letter case),
// of every kind (links, FIFOs and folders too), sorted by their shown names.
Result<QList<LocalPath>> listFolder(const LocalPath& folder, const QString& suffix);
