#include "keyscans.h"

#include "registry/registrystore.h"

#include <functional>

namespace {
const QString vandryRoot = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\VANDRY");
const QString calderRoot = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\VANDRY_CALDER");
const QString taskwellRoot = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\VANDRY\\TKX");
const QString foundryRoot = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\VandryFoundry");
const QString routeRoot = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\VandryRouteKeying");
const QString installDirValue = QStringLiteral("InstallDir");
const QString realVersionValue = QStringLiteral("RealVersion");

using GroupTest = std::function<bool(const QString& group)>;
using Acceptance = std::function<bool(const RegistryStore& store, const QString& candidate)>;

// The first subkey of root that passes the group test and whose candidate key
// passes the acceptance test, in the registry's enumeration order.
QString scan(const RegistryStore& store, const QString& root, const GroupTest& groupTest,
             const QString& candidateSuffix, const Acceptance& accept)
{
    const QStringList groups = store.childKeys(root);
    for (const QString& group : groups) {
        if (!groupTest(group))
            continue;
        const QString candidate = root + QLatin1Char('\\') + group + candidateSuffix;
        if (accept(store, candidate))
            return candidate;
    }
    return QString();
}

bool hasInstallDir(const RegistryStore& store, const QString& key)
{
    return store.hasValue(key, installDirValue);
}

bool acceptAny(const RegistryStore&, const QString&)
{
    return true;
}
} // namespace

namespace KeyScans {

QString server(const RegistryStore& store)
{
    return scan(
        store, vandryRoot,
        [](const QString& group) {
            return group.startsWith(QLatin1String("Server")) &&
                   !group.contains(QLatin1String("Quorix"));
        },
        QString(), hasInstallDir);
}

QString flurrin(const RegistryStore& store)
{
    return scan(
        store, vandryRoot,
        [](const QString& group) { return group.startsWith(QLatin1String("Flurrin")); },
        QStringLiteral("\\Server"), hasInstallDir);
}

QString calder(const RegistryStore& store)
{
    return scan(
        store, calderRoot,
        [](const QString& group) { return group.contains(QLatin1String("CALDER_ServerExt")); },
        QString(), acceptAny);
}

QString taskwell(const RegistryStore& store)
{
    return scan(
        store, taskwellRoot, [](const QString&) { return true; }, QString(),
        [](const RegistryStore& scanned, const QString& candidate) {
            return !scanned.value(candidate, installDirValue).isEmpty();
        });
}

QString foundryFamily(const RegistryStore& store, const QString& subkey)
{
    return scan(
        store, foundryRoot,
        [](const QString& group) { return group.startsWith(QLatin1String("Server")); }, subkey,
        acceptAny);
}

QString routeFamily(const RegistryStore& store, const QString& groupPrefix)
{
    return scan(
        store, routeRoot,
        [&groupPrefix](const QString& group) { return group.startsWith(groupPrefix); }, QString(),
        acceptAny);
}

} // namespace KeyScans

QString versionFromText(const QString& text)
{
    QString result;
    bool seenDigit = false;
    for (const QChar c : text) {
        if (c.isDigit()) {
            result.append(c);
            seenDigit = true;
        } else if (c == QLatin1Char('.') && seenDigit) {
            result.append(c);
        } else if (c.isLetter() && seenDigit) {
            break;
        }
    }
    return result;
}

QString taskwellRootVersion(const RegistryStore& store)
{
    return store.value(taskwellRoot, realVersionValue);
}

QString parentKeyVersion(const RegistryStore& store, const QString& key)
{
    const qsizetype separator = key.lastIndexOf(QLatin1Char('\\'));
    const QString parent = separator < 0 ? key : key.left(separator);
    return store.value(parent, realVersionValue);
}
