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

QStringList LogCapture::lines() const
{
    QFile log(file);
    if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList result = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    for (QString& line : result)
        line.remove(0, 21); // "yyyy-MM-dd hh:mm:ss: "
    return result;
}
