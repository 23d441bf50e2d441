#include "logfile.h"

#include "logger.h"

#include <QObject>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Opened without blocking and checked on the open descriptor itself, so that
// neither a FIFO (which would block the open) nor a file swapped in between
// a check and the open can slip through.
QString openLogFile(QFile& file, const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    struct stat info;
    if (fd < 0) {
        const bool other =
            ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode);
        return other ? QObject::tr("It is not a regular file.") : fileErrorText(QFile::OpenError);
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return QObject::tr("It is not a regular file.");
    }
    if (::ftruncate(fd, 0) != 0 || ::fcntl(fd, F_SETFL, 0) != 0) {
        ::close(fd);
        return fileErrorText(QFile::ResizeError);
    }
    ::fchmod(fd, 0600); // an earlier log may have been readable by anyone
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Text, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fileErrorText(file.error());
    }
    return QString();
}
