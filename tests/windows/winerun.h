#pragma once

// What the Windows program's test needs of Wine runs and of the paths and
// files they share with the Linux runs.

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

struct Run
{
    int exitCode = -1;
    QString out; // line ends as Linux writes them
    QString err;
};

inline const QString fleetFolder = QStringLiteral(SKYVANE_SOURCE_DIR "/examples/fleet");
// A Linux path as a Wine program sees it.
inline QString windowsPath(const QString& path)
{
    return "Z:" + QString(path).replace('/', '\\');
}
// A Windows run's output with its paths as the Linux run names them.
inline QString withLinuxPaths(QString text)
{
    const QString windows = windowsPath(fleetFolder) + '\\';
    return text.replace(windows, fleetFolder + '/')
        .replace(QString(windows).replace("\\", "\\\\"), fleetFolder + '/');
}
// An output with its check time left out: the page tells it in the language
// of the run, and Wine's language need not be the Linux run's.
inline QString withoutCheckTime(QString text)
{
    static const QRegularExpression checked(QStringLiteral("Checked [^\n<]*? UTC against"));
    return text.replace(checked, QStringLiteral("Checked (time) UTC against"));
}
// A Windows run's output as the Linux run makes it, its check time aside.
inline QString comparable(const QString& windowsOutput)
{
    return withoutCheckTime(withLinuxPaths(windowsOutput));
}
// Files the fleet's spool left in the prefix's temporary folders.
inline QStringList leftSpools(const QString& prefix)
{
    QStringList left;
    QDirIterator it(prefix + "/drive_c/users", {"Skyvane.*"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        if (const QString file = it.next(); file.contains("/Temp/", Qt::CaseInsensitive))
            left << file;
    return left;
}

// A registry export's text, whichever encoding regedit wrote it in.
inline QString exportText(const QString& file)
{
    QFile source(file);
    const QByteArray bytes = source.open(QIODevice::ReadOnly) ? source.readAll() : QByteArray();
    return bytes.startsWith("\xff\xfe") ? QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2))
                                        : QString::fromUtf8(bytes);
}

// A path of the Wine prefix in the work folder, as Linux names it.
inline QString inPrefix(const QTemporaryDir& work, const QString& windowsPath)
{
    QString path = windowsPath;
    const QString drive = path.left(1).toLower();
    path.replace('\\', '/');
    return work.filePath("prefix/dosdevices/" + drive + ":" + path.mid(2));
}

// A Windows program under Wine in the work folder's prefix, while the
// calling test's loopback servers answer (its events are served meanwhile).
inline Run runWine(const QTemporaryDir& work, const QStringList& arguments,
                   const QStringList& environment)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SKYVANE_NOW", "2026-12-06T12:00:00Z"); // as the Linux runs have it
    for (const QString& assignment : environment)
        env.insert(assignment.section('=', 0, 0), assignment.section('=', 1));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(work.path());
    process.start("wine", arguments);
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 180000))
        process.kill();
    process.waitForFinished(5000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()).remove('\r'),
            QString::fromUtf8(process.readAllStandardError()).remove('\r')};
}

// "reg add" of the user's Internet settings (WinINet's, which WinHTTP and Qt
// read) naming a proxy for every address.
inline QStringList internetSettingsWithProxy(const QString& hostAndPort)
{
    QByteArray settings = QByteArray::fromHex("46000000010000000300000000000000");
    settings[12] = char(hostAndPort.size());
    settings += hostAndPort.toLatin1() + QByteArray(40, 0);
    return {"reg",
            "add",
            "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections",
            "/v",
            "DefaultConnectionSettings",
            "/t",
            "REG_BINARY",
            "/d",
            settings.toHex(),
            "/f"};
}
