#include "logfile.h"

#include "logger.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QObject>

namespace {
// The translation context of this file's texts.
struct LogFile
{
    Q_DECLARE_TR_FUNCTIONS(LogFile)
};
} // namespace

// The user's profile already keeps other users out; only regular files are written.
QString openLogFile(QFile& file, const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return LogFile::tr("It is not a regular file.");
    file.setFileName(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return fileErrorText(file.error());
    return QString();
}
