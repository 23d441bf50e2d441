#include "programrun.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

ProgramRun runProgram(const QString& configDir, const QStringList& arguments,
                      const QStringList& environment)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", configDir);
    env.insert("LC_ALL", "C.UTF-8");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    // Ages count from this day, whatever today is.
    env.insert("SKYVANE_NOW", "2026-12-06T12:00:00Z");
    for (const QString& assignment : environment)
        env.insert(assignment.section('=', 0, 0), assignment.section('=', 1));
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QStringLiteral(SKYVANE_SOURCE_DIR));
    // "NETWORK=none": a machine with nothing but loopback, in a namespace of its own.
    if (environment.contains(QStringLiteral("NETWORK=none")))
        process.start(QStringLiteral("unshare"),
                      QStringList{"-n", QStringLiteral(SKYVANE_BINARY)} + arguments);
    else
        process.start(QStringLiteral(SKYVANE_BINARY), arguments);
    if (!QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, 120000))
        process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()), clock.elapsed()};
}

QString fixture(const char* name)
{
    QFile file(QStringLiteral(SKYVANE_TEST_DATA "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
