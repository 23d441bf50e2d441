#include "scheduledtask.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {
struct ScheduledTask
{
    Q_DECLARE_TR_FUNCTIONS(ScheduledTask)
};

// schtasks of the system folder, not one that the search path finds first.
Result<void> schtasks(const QStringList& arguments)
{
    const QString program = QDir(qEnvironmentVariable("SystemRoot", QStringLiteral("C:\\Windows")))
                                .filePath(QStringLiteral("System32/schtasks.exe"));
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        return failure(ScheduledTask::tr("schtasks %1 failed (%2): %3")
                           .arg(arguments.first(), QString::number(process.exitCode()),
                                QString::fromLocal8Bit(process.readAll()).trimmed()));
    }
    return {};
}
} // namespace

Result<void> registerScheduledTask(const QString& name, const QByteArray& definition)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("task.xml")));
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly) ||
        file.write(definition) != definition.size() || !file.flush())
        return failure(ScheduledTask::tr("the task's definition cannot be written: %1")
                           .arg(file.errorString()));
    file.close();
    return schtasks({QStringLiteral("/create"), QStringLiteral("/tn"), name, QStringLiteral("/xml"),
                     QDir::toNativeSeparators(file.fileName()), QStringLiteral("/f")});
}

Result<void> removeScheduledTask(const QString& name)
{
    return schtasks({QStringLiteral("/delete"), QStringLiteral("/tn"), name, QStringLiteral("/f")});
}
