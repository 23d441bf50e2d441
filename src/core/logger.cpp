#include "logger.h"

#include "console.h"
#include "logfile.h"
#include "messages.h"

#include <QDateTime>
#include <QObject>
#include <QTextStream>

#include <cstdio>

QString logLevelName(int level)
{
    switch (level) {
    case int(LogLevel::Info):
        return QStringLiteral("Info");
    case int(LogLevel::Debug):
        return QStringLiteral("Debug");
    case int(LogLevel::Warning):
        return QStringLiteral("Warning");
    case int(LogLevel::Error):
        return QStringLiteral("Error");
    case int(LogLevel::Fatal):
        return QStringLiteral("Fatal");
    }
    return QString();
}

QString fileErrorText(QFile::FileError error)
{
    switch (error) {
    case QFile::NoError:
        return QObject::tr("No error occurred.");
    case QFile::ReadError:
        return QObject::tr("An error occurred when reading from the file.");
    case QFile::WriteError:
        return QObject::tr("An error occurred when writing to the file.");
    case QFile::FatalError:
        return QObject::tr("A fatal error occurred.");
    case QFile::ResourceError:
        return QObject::tr("Resource error.");
    case QFile::OpenError:
        return QObject::tr("The file could not be opened.");
    case QFile::AbortError:
        return QObject::tr("The operation was aborted.");
    case QFile::TimeOutError:
        return QObject::tr("A timeout occurred.");
    case QFile::UnspecifiedError:
        return QObject::tr("An unspecified error occurred.");
    case QFile::RemoveError:
        return QObject::tr("The file could not be removed.");
    case QFile::RenameError:
        return QObject::tr("The file could not be renamed.");
    case QFile::PositionError:
        return QObject::tr("The position in the file could not be changed.");
    case QFile::ResizeError:
        return QObject::tr("The file could not be resized.");
    case QFile::PermissionsError:
        return QObject::tr("The file could not be accessed.");
    case QFile::CopyError:
        return QObject::tr("The file could not be copied.");
    }
    return QString();
}

Logger* Logger::instance()
{
    static Logger* const logger = new Logger;
    return logger;
}

void Logger::init(const QString& newTarget, int newVerbosity)
{
    target = newTarget;
    stream.setDevice(nullptr);
    file.close();
    writing = false;
    verbosity = newVerbosity;
    if (verbosity == 0)
        return;

    if (target == QLatin1String("stdout") || target == QLatin1String("stderr")) {
        file.open(target == QLatin1String("stdout") ? stdout : stderr,
                  QIODevice::WriteOnly | QIODevice::Text);
    } else {
        file.setFileName(target);
        const QString problem = openLogFile(file, target);
        if (!problem.isEmpty()) {
            const QString message = QObject::tr("Error opening log file for writing") +
                                    QStringLiteral(":\n\n%1\n\n").arg(target) +
                                    QObject::tr("Error") + QStringLiteral(": %2").arg(problem);
            showCriticalMessage(QObject::tr("File Error"), message, nullptr);
            return;
        }
    }
    stream.setDevice(&file);
    writing = true;
    writeFailed = false;
}

void Logger::log(LogLevel level, const QString& message)
{
    if (!writes(level))
        return;

    QMutexLocker locker(&mutex);
    const QString line =
        QStringLiteral("%1: %2: %3")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                 logLevelName(int(level)), printable(message));
    if (writing) {
        stream << line << Qt::endl;
        if (file.error() != QFileDevice::NoError && !writeFailed) {
            // Said once, on standard error: the run goes on without its log.
            writeFailed = true;
            writeErrorLine(QObject::tr("Error writing the log file %1: %2")
                               .arg(target, fileErrorText(file.error())));
        }
    }
    if (level == LogLevel::Fatal)
        writeMessageLine(line);
}

void Logger::close()
{
    stream.flush();
    file.close();
    writing = false;
}
