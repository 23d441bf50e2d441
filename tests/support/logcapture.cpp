#include "logcapture.h"

#include "app/logger.h"

#include <QFile>

LogCapture::LogCapture(int verbosity) : file(directory.filePath(QStringLiteral("log.txt")))
{
    Logger::instance()->init(file, verbosity);
}

LogCapture::~LogCapture()
{
    Logger::instance()->init(QString(), 0);
}

QStringList LogCapture::linesWithTimestamps() const
{
    QFile log(file);
    if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList LogCapture::lines() const
{
    QStringList result;
    const QStringList raw = linesWithTimestamps();
    for (const QString& line : raw)
        result << line.mid(21); // "yyyy-MM-dd hh:mm:ss: "
    return result;
}
