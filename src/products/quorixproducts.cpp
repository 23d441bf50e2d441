#include "quorixproducts.h"

#include "keyscans.h"

namespace QuorixProducts {

namespace {
using Fallback = ProductRow::VersionFallback;

using KeyFinder = std::function<QString(const RegistryStore&)>;

KeyFinder fixedKey(const char* key)
{
    return [key](const RegistryStore&) { return QString::fromLatin1(key); };
}

KeyFinder foundryKey(const char* subkey)
{
    return [subkey](const RegistryStore& store) {
        return KeyScans::foundryFamily(store, QString::fromLatin1(subkey));
    };
}

KeyFinder routeKey(const char* prefix)
{
    return [prefix](const RegistryStore& store) {
        return KeyScans::routeFamily(store, QString::fromLatin1(prefix));
    };
}

QStringList list(std::initializer_list<const char*> texts)
{
    QStringList result;
    for (const char* text : texts)
        result << QString::fromLatin1(text);
    return result;
}

const ProductRow& row(int number)
{
    static const ProductRow rows[productCount] = {
        {1, list({"Quorix for Server", "Quorix Server"}), QStringLiteral("Quorix <VER> for Server"),
         KeyScans::server, QStringLiteral(".VANDRY_S_PATCH_LOG"), Fallback::None, false},
        {2, list({"Zelvan for Quorix", "Quorix for Zelvan", "Zelvan"}),
         QStringLiteral("Zelvan for Quorix <VER>"),
         fixedKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\VANDRY\\Zelvan for Quorix"),
         QStringLiteral(".VANDRY_ZV_PATCH_LOG"), Fallback::None, false},
        {3, list({"Quorix for TarnVault", "Quorix Tarn Vault", "Tarn Vault", "TarnVault"}),
         QStringLiteral("Quorix <VER> Tarn Vault"),
         fixedKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\VANDRY\\Quorix Tarn Vault"),
         QStringLiteral(".VANDRY_TV_PATCH_LOG"), Fallback::None, false},
        {4, list({"Quorix Flurrin Extension", "Flurrin Extension", "Quorix Flurrin", "Flurrin"}),
         QStringLiteral("Quorix <VER> Flurrin Extension for Server"), KeyScans::flurrin,
         QStringLiteral(".VANDRY_FLE_PATCH_LOG"), Fallback::None, false},
        {5, list({"Quorix Calder Extension", "Quorix Calder", "Calder"}),
         QStringLiteral("Quorix <VER> for CALDER"), KeyScans::calder, QString(),
         Fallback::FromKeyText, false},
        {6,
         list({"Quorix Taskwell Manager", "Taskwell Manager", "Quorix Taskwell Manager Extension",
               "Taskwell Manager for Server", "Taskwell", "TKX"}),
         QStringLiteral("Quorix <VER> Taskwell Manager for Server"), KeyScans::taskwell, QString(),
         Fallback::None, true},
        {7,
         list(
             {"Vandry Bulwark Charting for Server", "Vandry Bulwark Charting", "Bulwark Charting"}),
         QStringLiteral("Vandry Bulwark Charting <VER> for Server"),
         foundryKey("\\VandryBulwarkCharting"), QString(), Fallback::FromParentKey, false},
        {8,
         list(
             {"Vandry Foundry Charting for Server", "Vandry Foundry Charting", "Foundry Charting"}),
         QStringLiteral("Vandry Foundry Charting <VER> for Server"),
         foundryKey("\\VandryFoundryCharting"), QString(), Fallback::FromParentKey, false},
        {9,
         list({"Quorix Audit Lens for Server", "Audit Lens for Server", "Audit Lens", "AuditLens"}),
         QStringLiteral("Quorix <VER> Audit Lens for Server"), foundryKey("\\QuorixAuditLens"),
         QString(), Fallback::FromParentKey, false},
        {10, list({"Tidemark Server", "Tidemark: Server", "Tidemark"}),
         QStringLiteral("Quorix <VER> Tidemark: Server"), foundryKey("\\Tidemark"), QString(),
         Fallback::FromParentKey, false},
        {11,
         list({"Route Keying Server", "Vandry Route Keying Server", "Quorix Route Keying",
               "Route Keying"}),
         QStringLiteral("Quorix Route Keying <VER> for Server"), routeKey("Server"), QString(),
         Fallback::None, false},
        {12,
         list({"Conduits Keying", "Conduits Keying for Server", "Quorix Conduits Keying for Server",
               "Conduits"}),
         QStringLiteral("Quorix <VER> Conduits Keying for Server"), routeKey("Conduits"), QString(),
         Fallback::None, false},
        {13,
         list({"Vandry Lanes and Causeways", "Lanes and Causeways for Server",
               "Lanes and Causeways"}),
         QStringLiteral("Vandry Lanes and Causeways <VER> for Server"),
         routeKey("LanesandCauseways"), QString(), Fallback::None, false},
    };
    return rows[number - 1];
}
} // namespace

} // namespace QuorixProducts

IQuorixProduct* createProduct(int number, const RegistryStore& store,
                              UninstallLookup& uninstallList)
{
    if (number < 1 || number > productCount)
        return nullptr;
    return new QuorixProducts::QuorixProduct(QuorixProducts::row(number), store, uninstallList);
}
