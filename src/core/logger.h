#pragma once

#include <QFile>
#include <QMutex>
#include <QString>
#include <QTextStream>

enum class LogLevel
{
    Info = 0,
    Debug = 1,
    Warning = 2,
    Error = 3,
    Fatal = 4
};

QString logLevelName(int level);
QString fileErrorText(QFile::FileError error);

class Logger
{
public:
    static Logger* instance();

    // Opens "stdout" or a file (created anew). Calling it again replaces the target.
    void init(const QString& newTarget, int newVerbosity);
    void log(LogLevel level, const QString& message);
    // Whether log() writes lines of this level; saves building lines nobody reads.
    bool writes(LogLevel level) const
    {
        return verbosity != 0 && (level != LogLevel::Debug || verbosity == 2);
    }
    void close();

private:
    Logger() = default;

    QString target;
    QFile file;
    QTextStream stream;
    bool writing = false;
    bool writeFailed = false;
    int verbosity = 0;
    QMutex mutex;
};
