#pragma once

// What the Windows program's test needs of Wine runs and of the paths and
// files they share with the Linux runs.

#include <QDirIterator>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

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
