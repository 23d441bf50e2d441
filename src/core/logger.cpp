#include "logger.h"

#include "console.h"
#include "logfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QObject>
#include <QTextStream>

#include <cstdio>

namespace {
// The translation context of this file's texts.
struct LogFile
{
    Q_DECLARE_TR_FUNCTIONS(LogFile)
};
} // namespace

Q_LOGGING_CATEGORY(lcCore, "skyvane.core")
Q_LOGGING_CATEGORY(lcRegistry, "skyvane.registry")
Q_LOGGING_CATEGORY(lcProducts, "skyvane.products")
Q_LOGGING_CATEGORY(lcUpdate, "skyvane.update")
Q_LOGGING_CATEGORY(lcReport, "skyvane.report")
Q_LOGGING_CATEGORY(lcApp, "skyvane.app")
Q_LOGGING_CATEGORY(lcUi, "skyvane.ui")
Q_LOGGING_CATEGORY(lcFatal, "skyvane.fatal")

namespace {
LogSink* activeSink = nullptr;
QtMessageHandler qtHandler = nullptr;

bool isOurs(const char* category)
{
    return category && qstrncmp(category, "skyvane.", 8) == 0;
}

QString levelName(QtMsgType type, const char* category)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("Debug");
    case QtInfoMsg:
        return QStringLiteral("Info");
    case QtWarningMsg:
        return QStringLiteral("Warning");
    case QtCriticalMsg:
        return qstrcmp(category, lcFatal().categoryName()) == 0 ? QStringLiteral("Fatal")
                                                                : QStringLiteral("Error");
    case QtFatalMsg:
        break;
    }
    return QStringLiteral("Fatal");
}

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (activeSink && isOurs(context.category))
        activeSink->write(levelName(type, context.category), message);
    else if (qtHandler)
        qtHandler(type, context, message);
}
} // namespace

QString fileErrorText(QFile::FileError error)
{
    switch (error) {
    case QFile::NoError:
        return LogFile::tr("No error occurred.");
    case QFile::ReadError:
        return LogFile::tr("An error occurred when reading from the file.");
    case QFile::WriteError:
        return LogFile::tr("An error occurred when writing to the file.");
    case QFile::FatalError:
        return LogFile::tr("A fatal error occurred.");
    case QFile::ResourceError:
        return LogFile::tr("Resource error.");
    case QFile::OpenError:
        return LogFile::tr("The file could not be opened.");
    case QFile::AbortError:
        return LogFile::tr("The operation was aborted.");
    case QFile::TimeOutError:
        return LogFile::tr("A timeout occurred.");
    case QFile::UnspecifiedError:
        return LogFile::tr("An unspecified error occurred.");
    case QFile::RemoveError:
        return LogFile::tr("The file could not be removed.");
    case QFile::RenameError:
        return LogFile::tr("The file could not be renamed.");
    case QFile::PositionError:
        return LogFile::tr("The position in the file could not be changed.");
    case QFile::ResizeError:
        return LogFile::tr("The file could not be resized.");
    case QFile::PermissionsError:
        return LogFile::tr("The file could not be accessed.");
    case QFile::CopyError:
        return LogFile::tr("The file could not be copied.");
    }
    return QString();
}

LogSink::LogSink(const QString& logTarget, int verbosity) : target(logTarget)
{
    // Lines nobody reads are not even made: the categories' levels follow "V".
    QLoggingCategory::setFilterRules(verbosity == 0   ? QStringLiteral("skyvane.*=false")
                                     : verbosity == 2 ? QString()
                                                      : QStringLiteral("skyvane.*.debug=false"));
    if (verbosity == 0)
        return;
    if (target == QLatin1String("stdout") || target == QLatin1String("stderr")) {
        file.open(target == QLatin1String("stdout") ? stdout : stderr,
                  QIODevice::WriteOnly | QIODevice::Text);
    } else {
        file.setFileName(target);
        const QString problem = openLogFile(file, target);
        if (!problem.isEmpty()) {
            openError = LogFile::tr("Error opening log file for writing") +
                        QStringLiteral(":\n\n%1\n\n").arg(target) + LogFile::tr("Error") +
                        QStringLiteral(": %2").arg(problem);
            QLoggingCategory::setFilterRules(QStringLiteral("skyvane.*=false"));
            return;
        }
    }
    stream.setDevice(&file);
    activeSink = this;
    qtHandler = qInstallMessageHandler(handleMessage);
}

QString LogSink::errorTitle()
{
    return LogFile::tr("File Error");
}

LogSink::~LogSink()
{
    if (activeSink != this)
        return;
    qInstallMessageHandler(qtHandler);
    activeSink = nullptr;
    stream.flush();
    file.close();
}

void LogSink::write(const QString& level, const QString& message)
{
    QMutexLocker locker(&mutex);
    const QString line =
        QStringLiteral("%1: %2: %3")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                 level, printable(message));
    stream << line << Qt::endl;
    if (file.error() != QFileDevice::NoError && !writeFailed) {
        // Said once, on standard error: the run goes on without its log.
        writeFailed = true;
        writeErrorLine(LogFile::tr("Error writing the log file %1: %2")
                           .arg(target, fileErrorText(file.error())));
    }
    if (level == QLatin1String("Fatal"))
        writeMessageLine(line);
}
