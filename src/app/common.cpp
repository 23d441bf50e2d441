#include "common.h"

#include "logger.h"

#include <QMutex>
#include <QObject>
#include <QSettings>

const char* const defaultPatchListUrl = "http://downloads.vandry.com/sky_vane/patches.json";

namespace {
constexpr quint64 scramblerKey = 47265183;

const QString checkAtLoginKey = QStringLiteral("Startup/checkAtLogin");
const QString useProxyServerKey = QStringLiteral("Startup/UseProxyServer");
const QString useAuthenticationKey = QStringLiteral("Startup/UseProxyAuthentication");
const QString hostKey = QStringLiteral("Startup/ProxyHost");
const QString portKey = QStringLiteral("Startup/ProxyPort");
const QString userKey = QStringLiteral("Startup/ProxyUsername");
const QString passwordKey = QStringLiteral("Startup/ProxyPassword");
} // namespace

QString statusMessageFor(int status)
{
    switch (status) {
    case NoError:
        return QObject::tr("No Error");
    case ConfigurationReadError:
        return QObject::tr("Error reading system configuration");
    case SettingsWriteError:
        return QObject::tr("Error writing settings.");
    case NetworkError:
        return QObject::tr("Network connection error.");
    case AuthenticationError:
        return QObject::tr("A server authentication error occurred.");
    }
    return QString();
}

Common::Common()
{
    setInitialValues();
}

void Common::resetForTesting()
{
    setInitialValues();
}

void Common::setInitialValues()
{
    titleText = QStringLiteral("Quorix Server and Extensions Sky Vane");
    patchListAddress = QString::fromLatin1(defaultPatchListUrl);
    manualProxy = QNetworkProxy();
    systemProxy = QNetworkProxy();
    useProxyServer = false;
    checkAtLogin = false;
    useSystemProxy = false;
    useProxyAuthentication = false;
    scrambler = std::make_unique<SettingsScrambler>(scramblerKey);
    status = NoError;
}

Common* Common::instance()
{
    static QMutex creationMutex;
    static Common* common = nullptr;
    QMutexLocker locker(&creationMutex);
    if (!common)
        common = new Common;
    return common;
}

void Common::readSettings()
{
    Logger::instance()->log(LogLevel::Debug, QStringLiteral("Common::readSettings()"));
    QSettings store;
    checkAtLogin = store.value(checkAtLoginKey, QVariant()).toBool();
    useProxyServer = store.value(useProxyServerKey, QVariant()).toBool();
    useProxyAuthentication = store.value(useAuthenticationKey, QVariant()).toBool();
    manualProxy.setHostName(store.value(hostKey, QVariant()).toString());
    manualProxy.setPort(quint16(store.value(portKey, QVariant()).toInt()));
    if (useProxyAuthentication) {
        manualProxy.setUser(store.value(userKey, QVariant()).toString());
        manualProxy.setPassword(
            scrambler->unscramble(store.value(passwordKey, QVariant()).toString()));
    }
    manualProxy.setType(QNetworkProxy::HttpProxy);
}

void Common::saveSettings()
{
    Logger::instance()->log(LogLevel::Debug, QStringLiteral("Common::saveSettings()"));
    QSettings store;
    store.setValue(checkAtLoginKey, checkAtLogin);
    store.setValue(useProxyServerKey, useProxyServer);
    store.setValue(useAuthenticationKey, useProxyAuthentication);
    store.setValue(hostKey, manualProxy.hostName());
    store.setValue(portKey, int(manualProxy.port()));
    if (useProxyAuthentication) {
        store.setValue(userKey, manualProxy.user());
        store.setValue(passwordKey, scrambler->scramble(manualProxy.password()));
    }
    store.sync();
    if (store.status() == QSettings::AccessError)
        status = SettingsWriteError;
}

QString Common::statusMessage() const
{
    return statusMessageFor(status);
}

QNetworkProxy Common::currentProxy() const
{
    return useSystemProxy ? systemProxy : manualProxy;
}
