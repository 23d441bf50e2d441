#include "common.h"

#include "console.h"
#include "logger.h"
#include "machinesecret.h"
#include "proxyaddress.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

namespace {
// The translation context of this file's texts.
struct Settings
{
    Q_DECLARE_TR_FUNCTIONS(Settings)
};
} // namespace

const char* const defaultPatchListUrl = "http://downloads.vandry.com/sky_vane/patches.json";

namespace {
constexpr quint64 scramblerKey = 47265183;

const QString checkAtLoginKey = QStringLiteral("Startup/checkAtLogin");
const QString useProxyServerKey = QStringLiteral("Startup/UseProxyServer");
const QString useSystemProxyKey = QStringLiteral("Startup/UseSystemProxy");
const QString useAuthenticationKey = QStringLiteral("Startup/UseProxyAuthentication");
const QString hostKey = QStringLiteral("Startup/ProxyHost");
const QString portKey = QStringLiteral("Startup/ProxyPort");
const QString userKey = QStringLiteral("Startup/ProxyUsername");
const QString passwordKey = QStringLiteral("Startup/ProxyPassword");
// Beside the classic scrambled one, where the system protects it for the user.
const QString protectedPasswordKey = QStringLiteral("Startup/ProxyPasswordProtected");
// The machine-wide settings.
const QString machineListUrlKey = QStringLiteral("Startup/PatchListUrl");
const QString machineProxyKey = QStringLiteral("Startup/ProxyUrl");
const QString machinePasswordKey = QStringLiteral("Startup/ProxyPassword");
const QString machineSystemProxyKey = QStringLiteral("Startup/UseSystemProxy");

// "http://user@host:port": the address without its password.
QString addressWithoutPassword(const QNetworkProxy& proxy)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setUserName(proxy.user());
    url.setHost(proxy.hostName());
    url.setPort(proxy.port());
    return url.toString(QUrl::FullyEncoded);
}
} // namespace

Common::Common()
    : patchListUrl(QString::fromLatin1(defaultPatchListUrl)), proxy(QNetworkProxy::HttpProxy),
      scrambler(scramblerKey)
{
}

namespace {
// Qt says that it could not parse a settings file (NUL bytes, broken UTF-8)
// only when it writes it: a copy is written to find out.
bool isDamaged(const QString& fileName)
{
    QTemporaryDir folder;
    if (!QFileInfo(fileName).isFile() || !folder.isValid() ||
        !QFile::copy(fileName, folder.filePath(QStringLiteral("probe.conf"))))
        return false;
    QSettings probe(folder.filePath(QStringLiteral("probe.conf")), QSettings::IniFormat);
    probe.setValue(QStringLiteral("Probe/written"), true);
    probe.sync();
    return probe.status() == QSettings::FormatError;
}
} // namespace

QStringList Common::readSettings()
{
    QStringList problems;
    qCDebug(lcCore).noquote() << QStringLiteral("Common::readSettings()");
    QSettings store;
    // A file that cannot be read as settings (NUL bytes, bytes that are no
    // UTF-8) gives nothing: the defaults hold until the next save replaces it.
    if (isDamaged(store.fileName()))
        return QStringList{Settings::tr("The settings file %1 is damaged; its values were not "
                                        "used.")
                               .arg(printable(store.fileName()))} +
               readMachineWideSettings(false) + applyPolicy(readPolicy());
    checkAtLogin = store.value(checkAtLoginKey).toBool();
    useProxyServer = store.value(useProxyServerKey).toBool();
    useSystemProxy = store.value(useSystemProxyKey).toBool();
    useProxyAuthentication = store.value(useAuthenticationKey).toBool();
    proxy.setHostName(store.value(hostKey).toString());
    // Port 0 is what a removed proxy leaves; anything else must be a real port.
    const QString portText = store.value(portKey).toString();
    const int port = validPort(portText);
    proxy.setPort(quint16(port));
    if (port == 0 && !portText.isEmpty() && portText != QLatin1String("0")) {
        const QString message = Settings::tr("The saved proxy port %1 is not a number from 1 to "
                                             "65535; no proxy is used for this run.")
                                    .arg(printable(portText));
        savedProxyRefused = true;
        problems << message;
    }
    if (useProxyAuthentication) {
        proxy.setUser(store.value(userKey).toString());
        const QString protectedPassword = store.value(protectedPasswordKey).toString();
        const Result<QString> password =
            protectedPassword.isEmpty()
                ? Result<QString>(scrambler.unscramble(store.value(passwordKey).toString()))
                : unprotectForUser(QByteArray::fromHex(protectedPassword.toLatin1()));
        if (password.ok())
            proxy.setPassword(password.value());
        else
            problems << Settings::tr("The saved proxy password cannot be read for this account "
                                     "(%1); the proxy is used without it.")
                            .arg(password.errorString());
    }
    proxy.setType(QNetworkProxy::HttpProxy);
    problems += readMachineWideSettings(store.contains(useProxyServerKey));
    return problems + applyPolicy(readPolicy());
}

QStringList Common::applyPolicy(const Policy& fixed)
{
    policy = fixed;
    QStringList problems = fixed.problems;
    if (fixed.patchListUrl)
        patchListUrl = *fixed.patchListUrl;
    if (!fixed.proxyMode)
        return problems;
    useProxyServer = false;
    useSystemProxy = false;
    savedProxyRefused = false;
    if (*fixed.proxyMode == 0)
        return problems;
    if (*fixed.proxyMode == 2) {
        useProxyServer = true;
        useSystemProxy = true;
        return problems;
    }
    if (*fixed.proxyMode != 1)
        return problems << Settings::tr("The policy's ProxyMode %1 is none of 0 (no proxy), 1 "
                                        "(ProxyUrl) and 2 (the system's); no proxy is used.")
                               .arg(*fixed.proxyMode);
    if (!fixed.proxyUrl)
        return problems << Settings::tr("The policy asks for a proxy but names none (ProxyUrl); "
                                        "no proxy is used.");
    const Result<QNetworkProxy> parsed = parseProxyUrl(*fixed.proxyUrl);
    if (!parsed.ok())
        return problems
               << Settings::tr("The policy's proxy cannot be used: %1").arg(parsed.errorString());
    // A policy names no password, readable as it is by every user: the one
    // stored for the same user of the same proxy is used.
    const QString password = parsed.value().password().isEmpty() &&
                                     parsed.value().user() == proxy.user() &&
                                     parsed.value().hostName() == proxy.hostName()
                                 ? proxy.password()
                                 : parsed.value().password();
    proxy = parsed.value();
    proxy.setPassword(password);
    useProxyServer = true;
    useProxyAuthentication = !proxy.user().isEmpty();
    return problems;
}

// What an administrator set for the whole machine (the installer's LISTURL
// and PROXY), for accounts without settings of their own, such as SYSTEM
// running a scheduled task: HKEY_LOCAL_MACHINE\Software\Vandry\Skyvane on
// Windows, /etc/xdg/Vandry/Skyvane.conf elsewhere. A user's own proxy setting
// wins; /u wins over the list address.
QStringList Common::readMachineWideSettings(bool userHasProxySetting)
{
    const QSettings machine(QSettings::SystemScope, QStringLiteral("Vandry"),
                            QStringLiteral("Skyvane"));
    const QString listUrl = machine.value(machineListUrlKey).toString();
    if (!listUrl.trimmed().isEmpty())
        patchListUrl = listUrl.trimmed();
    const QString proxyUrl = machine.value(machineProxyKey).toString();
    if (!userHasProxySetting && machine.value(machineSystemProxyKey).toBool()) {
        useProxyServer = true;
        useSystemProxy = true;
    }
    if (userHasProxySetting || proxyUrl.trimmed().isEmpty())
        return {};
    const Result<QNetworkProxy> parsed = parseProxyUrl(proxyUrl.trimmed());
    if (!parsed.ok())
        return {parsed.errorString()};
    QStringList problems;
    proxy = parsed.value();
    const QString protectedPassword = machine.value(machinePasswordKey).toString();
    if (!protectedPassword.isEmpty()) {
        const Result<QString> password =
            unprotectForMachine(QByteArray::fromHex(protectedPassword.toLatin1()));
        if (password.ok())
            proxy.setPassword(password.value());
        else
            problems << Settings::tr("The machine-wide proxy password cannot be read on this "
                                     "machine; the proxy is used without it.");
    }
    useProxyServer = true;
    useProxyAuthentication = !proxy.user().isEmpty();
    return problems;
}

Result<void> Common::saveMachineWideProxy(const QNetworkProxy* machineProxy)
{
    QSettings machine(QSettings::SystemScope, QStringLiteral("Vandry"), QStringLiteral("Skyvane"));
    machine.remove(machineProxyKey);
    machine.remove(machinePasswordKey);
    if (machineProxy) {
        machine.setValue(machineProxyKey, addressWithoutPassword(*machineProxy));
        if (!machineProxy->password().isEmpty()) {
            const Result<QByteArray> kept = protectForMachine(machineProxy->password());
            if (!kept.ok()) {
                machine.remove(machineProxyKey);
                machine.sync();
                return failure(
                    Settings::tr("This system cannot protect a machine-wide proxy password; "
                                 "set the password per account with /p instead."));
            }
            machine.setValue(machinePasswordKey, QString::fromLatin1(kept.value().toHex()));
        }
    }
    machine.sync();
    if (machine.status() != QSettings::NoError)
        return failure(statusMessageFor(StatusCode::SettingsWriteError));
    return {};
}

Result<void> Common::saveSettings()
{
    qCDebug(lcCore).noquote() << QStringLiteral("Common::saveSettings()");
    // A damaged file is replaced, not merged into.
    if (const QSettings damaged; isDamaged(damaged.fileName()))
        QFile::remove(damaged.fileName());
    using Value = std::pair<QString, QVariant>;
    QList<Value> values{{checkAtLoginKey, checkAtLogin}};
    QStringList stale; // keys of the proxy setting that this one leaves out
    // A proxy that Group Policy fixes leaves the user's own as it is.
    if (!policy.fixesProxy()) {
        values << Value{useProxyServerKey, useProxyServer}
               << Value{useAuthenticationKey, useProxyAuthentication}
               << Value{hostKey, proxy.hostName()} << Value{portKey, int(proxy.port())};
        // The system's proxy is a choice of its own, stored only when made.
        if (useSystemProxy)
            values << Value{useSystemProxyKey, true};
        else
            stale << useSystemProxyKey;
        // The password protected for the user where the system can, else scrambled.
        if (useProxyAuthentication) {
            values << Value{userKey, proxy.user()};
            const Result<QByteArray> kept = protectForUser(proxy.password());
            if (kept.ok())
                values << Value{protectedPasswordKey, QString::fromLatin1(kept.value().toHex())};
            else
                values << Value{passwordKey, scrambler.scramble(proxy.password())};
            stale << (kept.ok() ? passwordKey : protectedPasswordKey);
        }
    }
    QString fileName;
    {
        QSettings store;
        for (const QString& key : stale)
            store.remove(key);
        for (const auto& [key, value] : values)
            store.setValue(key, value);
        store.sync();
        fileName = store.fileName();
        if (store.status() == QSettings::AccessError)
            return failure(statusMessageFor(StatusCode::SettingsWriteError));
    }
    // The file holds the proxy password, scrambled only: for its owner's eyes.
    if (QFileInfo(fileName).isFile())
        QFile::setPermissions(fileName, QFile::ReadOwner | QFile::WriteOwner);
    // Saved means written and read back.
    const QSettings written;
    for (const auto& [key, value] : values) {
        if (written.value(key).toString() != value.toString())
            return failure(statusMessageFor(StatusCode::SettingsWriteError));
    }
    return {};
}
