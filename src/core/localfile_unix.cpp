#include "localfile.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
struct LocalFile
{
    Q_DECLARE_TR_FUNCTIONS(LocalFile)
};

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return LocalFile::tr("a folder");
    if (S_ISFIFO(mode))
        return LocalFile::tr("a FIFO");
    if (S_ISSOCK(mode))
        return LocalFile::tr("a socket");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return LocalFile::tr("a device");
    return LocalFile::tr("of another kind");
}

QString systemError(int code)
{
    if (code == ELOOP)
        return LocalFile::tr("it is a link that leads in a circle");
    if (code == ENOENT)
        return LocalFile::tr("it does not exist (or is a link to nothing)");
    if (code == ENXIO)
        return LocalFile::tr("it is not a regular file (a socket or a FIFO without a writer)");
    return LocalFile::tr("it cannot be opened: %1")
        .arg(QString::fromLocal8Bit(std::strerror(code)));
}
} // namespace

LocalPath LocalPath::fromNative(const QByteArray& nativeBytes)
{
    LocalPath path;
    path.bytes = nativeBytes;
    path.text = QString::fromUtf8(nativeBytes); // invalid bytes become U+FFFD
    return path;
}

OpenedFile openRegularFile(const LocalPath& path, qint64 maxBytes)
{
    const int fd = ::open(path.native().constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failure(FileError{systemError(errno)});
    struct stat info;
    FileError error;
    if (::fstat(fd, &info) != 0)
        error.text = systemError(errno);
    else if (!S_ISREG(info.st_mode))
        error.text = LocalFile::tr("it is not a regular file (%1)").arg(kindOf(info.st_mode));
    else if (info.st_size > maxBytes)
        error = {LocalFile::tr("the file is larger than %1 MiB")
                     .arg(QString::number(double(maxBytes) / (1024 * 1024))),
                 true};
    if (!error.text.isEmpty()) {
        ::close(fd);
        return failure(error);
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failure(FileError{LocalFile::tr("it cannot be opened")});
    }
    return file;
}

Result<QList<LocalPath>> listFolder(const LocalPath& folder, const QString& suffix)
{
    QList<LocalPath> entries;
    DIR* dir = ::opendir(folder.native().constData());
    if (!dir) {
        return failure(systemError(errno));
    }
    const QByteArray wanted = suffix.toUtf8().toLower();
    QByteArray base = folder.native();
    if (!base.endsWith('/'))
        base += '/';
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.size() > wanted.size() && name.right(wanted.size()).toLower() == wanted)
            entries.append(LocalPath::fromNative(base + name));
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0)
        return failure(systemError(readError));
    std::sort(entries.begin(), entries.end(), [](const LocalPath& a, const LocalPath& b) {
        const int order = a.shown().compare(b.shown(), Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.native() < b.native();
    });
    return entries;
}
