#include "logger.h"

#include "console.h"
#include "logfile.h"
#include "messages.h"

#include <QDateTime>
#include <QObject>
#include <QTextStream>

#include <cstdio>

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

LogSink::LogSink(const QString& logTarget, int verbosity) : target(logTarget)
{
    // Lines nobody reads are not even made: the categories' levels follow "V".
    QLoggingCategory::setFilterRules(verbosity == 0   ? QStringLiteral("skyvane.*=false")
                                     : verbosity == 1 ? QStringLiteral("skyvane.*.debug=false")
                                                      : QString());
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
            QLoggingCategory::setFilterRules(QStringLiteral("skyvane.*=false"));
            return;
        }
    }
    stream.setDevice(&file);
    activeSink = this;
    qtHandler = qInstallMessageHandler(handleMessage);
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
        writeErrorLine(QObject::tr("Error writing the log file %1: %2")
                           .arg(target, fileErrorText(file.error())));
    }
    if (level == QLatin1String("Fatal"))
        writeMessageLine(line);
}
