#include "measured.h"

#include <QProcess>
#include <QProcessEnvironment>

Measured timed(const QStringList& command, int runs, const QString& configDir)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", configDir);
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    // An exit code is the run's verdict; only a crash (a signal) fails it.
    const QString loop =
        QStringLiteral("for i in $(seq %1); do \"$@\"; [ $? -lt 128 ] || exit 1; done").arg(runs);
    process.start("/usr/bin/time",
                  QStringList{"-f", "%e %U %S %M", "sh", "-c", loop, "sh"} + command);
    if (!process.waitForFinished(300000) || process.exitCode() != 0)
        return {};
    const QList<QByteArray> fields =
        process.readAllStandardError().trimmed().split('\n').last().split(' ');
    if (fields.size() != 4)
        return {};
    return {fields.at(0).toDouble() * 1000 / runs,
            (fields.at(1).toDouble() + fields.at(2).toDouble()) * 1000 / runs,
            fields.at(3).toLongLong()};
}
