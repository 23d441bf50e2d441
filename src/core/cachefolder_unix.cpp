#include "cachefolder.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {
struct CacheFolder
{
    Q_DECLARE_TR_FUNCTIONS(CacheFolder)
};
} // namespace

QString listCacheFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!xdg.isEmpty())
        return xdg + QStringLiteral("/skyvane");
    if (geteuid() == 0)
        return QStringLiteral("/var/cache/skyvane");
    return QDir::homePath() + QStringLiteral("/.cache/skyvane");
}

Result<void> makePrivateFolder(const QString& path)
{
    if (!QDir().mkpath(path))
        return failure(CacheFolder::tr("the folder %1 cannot be made").arg(path));
    const QByteArray native = QFile::encodeName(path);
    struct stat info = {};
    if (stat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return failure(CacheFolder::tr("%1 is no folder").arg(path));
    if (info.st_uid != geteuid())
        return failure(CacheFolder::tr("the folder %1 belongs to another user").arg(path));
    if ((info.st_mode & 077) != 0 && chmod(native.constData(), 0700) != 0)
        return failure(CacheFolder::tr("the folder %1 cannot be made private: %2")
                           .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    return {};
}

bool isOwnFile(const QFile& opened)
{
    struct stat info = {};
    return opened.handle() >= 0 && fstat(opened.handle(), &info) == 0 && info.st_uid == geteuid();
}
