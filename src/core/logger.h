#pragma once

#include <QFile>
#include <QLoggingCategory>
#include <QMutex>
#include <QString>
#include <QTextStream>

// Where each layer logs. The levels: qCDebug, qCInfo, qCWarning, and
// qCCritical for "Error"; a critical message in lcFatal is a "Fatal" line.
Q_DECLARE_LOGGING_CATEGORY(lcCore)
Q_DECLARE_LOGGING_CATEGORY(lcRegistry)
Q_DECLARE_LOGGING_CATEGORY(lcProducts)
Q_DECLARE_LOGGING_CATEGORY(lcUpdate)
Q_DECLARE_LOGGING_CATEGORY(lcReport)
Q_DECLARE_LOGGING_CATEGORY(lcApp)
Q_DECLARE_LOGGING_CATEGORY(lcUi)
Q_DECLARE_LOGGING_CATEGORY(lcFatal)

QString fileErrorText(QFile::FileError error);

// The run's log, for as long as it lives: the messages of Skyvane's categories
// as "yyyy-MM-dd hh:mm:ss: Level: text" lines on "stdout", "stderr" or in a
// file (created anew), a Fatal line also on the console; other messages go on
// to Qt's handler. Verbosity 0 writes nothing, 2 everything, any other all but Debug.
class LogSink
{
public:
    LogSink(const QString& target, int verbosity);
    ~LogSink();
    LogSink(const LogSink&) = delete;
    LogSink& operator=(const LogSink&) = delete;

    void write(const QString& level, const QString& message);
    // Why the log file could not be opened (the run goes on without a log),
    // or empty.
    QString errorString() const { return openError; }
    // "File Error", the title of that message.
    static QString errorTitle();

private:
    QString openError;
    QString target;
    QFile file;
    QTextStream stream;
    bool writeFailed = false;
    QMutex mutex;
};
