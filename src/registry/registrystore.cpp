#include "registrystore.h"

#include "hives.h"

namespace {
std::unique_ptr<RegistryStore>& currentStore()
{
    thread_local std::unique_ptr<RegistryStore> store;
    return store;
}

} // namespace

const RegistryStore& registry()
{
    std::unique_ptr<RegistryStore>& store = currentStore();
    if (!store)
        store = createNativeRegistry();
    return *store;
}

void setRegistry(std::unique_ptr<RegistryStore> store)
{
    currentStore() = std::move(store);
}

void releaseRegistry()
{
    currentStore().reset();
}

QString canonicalHiveName(QStringView hive)
{
    static const QString machine = QStringLiteral("HKEY_LOCAL_MACHINE");
    if (hive == machine) // as exports spell it
        return machine;
    for (const HiveName& entry : hiveNames) {
        const QStringView longName(entry.longName);
        if (hive.compare(QStringView(entry.shortName), Qt::CaseInsensitive) == 0 ||
            hive.compare(longName, Qt::CaseInsensitive) == 0)
            return longName.toString();
    }
    return QString();
}
