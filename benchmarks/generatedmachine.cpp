#include "generatedmachine.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace Generated {

namespace {
QString regString(QString text)
{
    return QLatin1Char('"') + text.replace(QLatin1Char('\\'), QLatin1String("\\\\")) +
           QLatin1Char('"');
}

QString version(int index)
{
    return QStringLiteral("%1.%2").arg(10 + index / 10).arg(index % 10);
}
} // namespace

QByteArray bigMachine(const QString& installRoot, int uninstallEntries, int installedPatches)
{
    const QString vandry = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\VANDRY");
    // One key per product, each in its own folder; versions spread over the list.
    const QStringList productKeys{
        vandry + "\\Server10.3",
        vandry + "\\Zelvan for Quorix",
        vandry + "\\Quorix Tarn Vault",
        vandry + "\\Flurrin10.3\\Server",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\VANDRY_CALDER\\CALDER_ServerExt10.3",
        vandry + "\\TKX\\Manager",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\VandryFoundry\\Server10.3\\VandryBulwarkCharting",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\VandryFoundry\\Server10.3\\VandryFoundryCharting",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\VandryFoundry\\Server10.3\\QuorixAuditLens",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\VandryFoundry\\Server10.3\\Tidemark",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\VandryRouteKeying\\Server10",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\VandryRouteKeying\\Conduits10",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\VandryRouteKeying\\LanesandCauseways10",
    };
    QString text = QStringLiteral("Windows Registry Editor Version 5.00\n\n");
    for (int p = 0; p < productKeys.size(); ++p) {
        const QString dir = installRoot + QStringLiteral("/product%1").arg(p + 1);
        QDir().mkpath(dir);
        text += QLatin1Char('[') + productKeys.at(p) + QStringLiteral("]\n");
        text += QStringLiteral("\"InstallDir\"=") + regString(dir) + QLatin1Char('\n');
        text += QStringLiteral("\"RealVersion\"=") + regString(version(p % 4 * 3)) +
                QStringLiteral("\n\n");
    }
    for (int i = 0; i < installedPatches; ++i) {
        const QString key =
            productKeys.at(i % productKeys.size()) + QStringLiteral("\\Updates\\KB%1").arg(i);
        text += QLatin1Char('[') + key + QStringLiteral("]\n\"Name\"=") +
                regString(QStringLiteral("Installed Patch %1").arg(i)) + QStringLiteral("\n\n");
    }
    const QString uninstall = QStringLiteral(
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\");
    for (int i = 0; i < uninstallEntries; ++i) {
        // Every sixteenth entry is one of the installed patches.
        const QString name = i % 16 == 0 && i / 16 < installedPatches
                                 ? QStringLiteral("installed patch %1").arg(i / 16)
                                 : QStringLiteral("Some Application %1").arg(i);
        text += QLatin1Char('[') + uninstall +
                QStringLiteral("{%1-4F21-9A6E-5D0B8C2F4E11}").arg(i, 8, 10, QLatin1Char('0')) +
                QStringLiteral("]\n\"DisplayName\"=") + regString(name) +
                QStringLiteral("\n\"Publisher\"=\"Someone\"\n\"EstimatedSize\"=dword:00001000\n\n");
    }
    return text.toUtf8();
}

QByteArray bigPatchList(int versions, int patchesPerVersion)
{
    static const char* const products[] = {"Quorix for Server",       "Zelvan for Quorix",
                                           "Quorix Tarn Vault",       "Quorix Flurrin Extension",
                                           "Quorix Calder Extension", "Quorix Taskwell Manager",
                                           "Vandry Bulwark Charting", "Audit Lens",
                                           "Tidemark Server",         "Route Keying",
                                           "Conduits Keying",         "Lanes and Causeways"};
    QJsonArray versionList;
    int serial = 0;
    for (int v = 0; v < versions; ++v) {
        QJsonArray patches;
        for (int p = 0; p < patchesPerVersion; ++p, ++serial) {
            QJsonObject patch;
            patch.insert("Name",
                         QStringLiteral("Published Patch %1 for %2").arg(serial).arg(version(v)));
            patch.insert("Products",
                         QStringLiteral("%1, %2").arg(QLatin1String(products[serial % 12]),
                                                      QLatin1String(products[(serial + 5) % 12])));
            patch.insert("SecurityPatch", serial % 7 == 0 ? "Yes" : "No");
            patch.insert("Platform", serial % 10 == 0 ? "Linux" : "Windows");
            patch.insert(
                "url",
                QStringLiteral("http://dl.vandry.com/%1/p%2.exe").arg(version(v)).arg(serial));
            patch.insert("QFE_ID", QStringLiteral("QX%1, KB%2")
                                       .arg(serial, 6, 10, QLatin1Char('0'))
                                       .arg(900000 + serial));
            patch.insert("ReleaseDate", QStringLiteral("2026-%1-%2")
                                            .arg(1 + serial % 12, 2, 10, QLatin1Char('0'))
                                            .arg(1 + serial % 28, 2, 10, QLatin1Char('0')));
            patches.append(patch);
        }
        versionList.append(QJsonObject{{"version", version(v)}, {"patches", patches}});
    }
    return QJsonDocument(QJsonObject{{"Product", versionList}}).toJson(QJsonDocument::Compact);
}

} // namespace Generated
