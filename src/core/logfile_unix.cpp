#include "logfile.h"

#include "logger.h"

#include <QCoreApplication>
#include <QObject>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The translation context of this file's texts.
struct LogFile
{
    Q_DECLARE_TR_FUNCTIONS(LogFile)
};
} // namespace

// Opened without blocking and checked on the open descriptor itself, so that
// neither a FIFO (which would block the open) nor a file swapped in between
// a check and the open can slip through. A symbolic link is never followed,
// and an existing file is written only when it is this user's own and has no
// other name: in a shared folder, another user's link or hard link could
// otherwise make the log empty a file of theirs choosing.
QString openLogFile(QFile& file, const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        ::open(name.constData(),
               O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC, 0600);
    struct stat info;
    if (fd < 0) {
        if (errno == ELOOP)
            return LogFile::tr("It is a symbolic link.");
        const bool other = ::lstat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode);
        return other ? LogFile::tr("It is not a regular file.") : fileErrorText(QFile::OpenError);
    }
    QString problem;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        problem = LogFile::tr("It is not a regular file.");
    else if (info.st_uid != ::geteuid())
        problem = LogFile::tr("It belongs to another user.");
    else if (info.st_nlink > 1)
        problem = LogFile::tr("It has other names (hard links).");
    else if (::ftruncate(fd, 0) != 0 || ::fcntl(fd, F_SETFL, 0) != 0)
        problem = fileErrorText(QFile::ResizeError);
    if (!problem.isEmpty()) {
        ::close(fd);
        return problem;
    }
    ::fchmod(fd, 0600); // an earlier log may have been readable by anyone
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Text, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fileErrorText(file.error());
    }
    return QString();
}
