#include "patchfinder.h"

#include "iquorixproduct.h"
#include "registry/registrystore.h"

#include <algorithm>

const char* const uninstallKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

namespace {
const QString notAvailable = QStringLiteral("N/A");

QString lastSix(const QString& text)
{
    return text.right(6);
}
} // namespace

QString foldedCase(const QString& text)
{
    const auto nonAscii = [](QChar c) { return c.unicode() >= 0x80; };
    if (std::any_of(text.begin(), text.end(), nonAscii))
        return text.toCaseFolded();
    const auto upper = [](QChar c) { return c.unicode() >= 'A' && c.unicode() <= 'Z'; };
    auto first = std::find_if(text.begin(), text.end(), upper);
    if (first == text.end())
        return text;
    QString folded = text;
    for (QChar* c = folded.data() + (first - text.begin()); c != folded.data() + folded.size();
         ++c) {
        if (upper(*c))
            *c = QChar(char16_t(c->unicode() + 0x20));
    }
    return folded;
}

UninstallIndex::UninstallIndex(const RegistryStore& store)
{
    const QString root = QString::fromLatin1(uninstallKey);
    const QStringList subkeys = store.childKeys(root);
    const QString displayName = QStringLiteral("DisplayName");
    for (const QString& subkey : subkeys) {
        const QString path = root + QLatin1Char('\\') + subkey;
        const QString name = store.value(path, displayName);
        if (!name.isEmpty() || store.hasValue(path, displayName))
            subkeyByFoldedName.insert(foldedCase(name), subkey);
    }
}

std::optional<QString> UninstallIndex::lastSubkeyWithDisplayName(const QString& displayName) const
{
    const auto it = subkeyByFoldedName.constFind(foldedCase(displayName));
    if (it == subkeyByFoldedName.constEnd())
        return std::nullopt;
    return it.value();
}

std::optional<QString> UninstallLookup::lastSubkeyWithDisplayName(const QString& displayName)
{
    if (!index)
        index.emplace(store);
    return index->lastSubkeyWithDisplayName(displayName);
}

QList<InstalledPatch> PatchFinderWindows::findPatches(IQuorixProduct* searched)
{
    product = searched;
    const QString updatesKey = product->updatesKey();
    const QStringList groups = store.childKeys(updatesKey);
    for (const QString& group : groups)
        foundPatches.append(readEntry(updatesKey + QLatin1Char('\\') + group));
    return foundPatches;
}

InstalledPatch PatchFinderWindows::readEntry(const QString& key) const
{
    const QString name = store.value(key, QStringLiteral("Name"));
    const QString qfeId = store.value(key, QStringLiteral("QFE_ID"));

    InstalledPatch patch;
    if (!qfeId.isEmpty()) {
        patch = {name, qfeId, lastSix(qfeId)};
    } else if (const auto subkey = uninstallList.lastSubkeyWithDisplayName(name)) {
        patch = {name, notAvailable, lastSix(*subkey)};
    }
    if (patch.name.isEmpty() && patch.qfeId.isEmpty() && patch.idSuffix.isEmpty())
        patch = {name, notAvailable, notAvailable};
    return patch;
}
