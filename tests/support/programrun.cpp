#include "programrun.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {
// A namespace whose only name server is an address on a link where nobody
// answers: each lookup waits for the resolver's time-out (30 s, five times).
// Exit 125 when this machine cannot make one.
QString silentResolverScript(const QString& configDir)
{
    const QString resolver = configDir + QStringLiteral("/resolv.conf");
    QFile file(resolver);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write("nameserver 192.0.2.53\noptions timeout:30 attempts:5\n") < 0)
        return QStringLiteral("exit 125");
    return QStringLiteral("ip link set lo up && ip link add sv0 type veth peer name sv1 && "
                          "ip link set sv1 up && ip link set sv0 up && "
                          "ip addr add 192.0.2.1/24 dev sv0 && "
                          "mount --bind '%1' /etc/resolv.conf || exit 125; exec \"$@\"")
        .arg(resolver);
}
} // namespace

ProgramRun runProgram(const QString& configDir, const QStringList& arguments,
                      const QStringList& environment)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", configDir);
    env.insert("XDG_CACHE_HOME", configDir + QStringLiteral("/cache"));
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
    else if (environment.contains(QStringLiteral("NETWORK=silent-resolver")))
        process.start(QStringLiteral("unshare"),
                      QStringList{"-rnm", "sh", "-c", silentResolverScript(configDir), "sh",
                                  QStringLiteral(SKYVANE_BINARY)} +
                          arguments);
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
