#include "registrystore.h"

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
    static const struct
    {
        const char* shortName;
        const char* longName;
    } hives[] = {
        {"HKLM", "HKEY_LOCAL_MACHINE"},  {"HKCU", "HKEY_CURRENT_USER"},
        {"HKCR", "HKEY_CLASSES_ROOT"},   {"HKU", "HKEY_USERS"},
        {"HKCC", "HKEY_CURRENT_CONFIG"},
    };
    for (const auto& entry : hives) {
        if (hive.compare(QLatin1String(entry.shortName), Qt::CaseInsensitive) == 0 ||
            hive.compare(QLatin1String(entry.longName), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(entry.longName);
    }
    return QString();
}
