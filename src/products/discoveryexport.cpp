#include "discoveryexport.h"

#include "patchfinder.h"

#include "core/localfile.h"
#include "registry/registryviews.h"

#include <QSet>

#include <algorithm>
#include <iterator>

namespace {
// The trees discovery reads below SOFTWARE (keyscans.cpp, quorixproducts.cpp);
// VANDRY holds TKX.
constexpr QStringView vendorTrees[] = {u"VANDRY", u"VANDRY_CALDER", u"VandryFoundry",
                                       u"VandryRouteKeying"};

// Of a path below SOFTWARE.
bool inVendorTree(QStringView path)
{
    return std::any_of(std::begin(vendorTrees), std::end(vendorTrees),
                       [path](QStringView tree) { return isUnderRegistryKey(path, tree); });
}

// The names an installed patch is known by: every "Name" in the vendor trees
// (more than the patch finder asks for, never less).
QSet<QString> patchNames(const RegistryFileStore& store)
{
    QSet<QString> names;
    QStringList pending;
    for (const QStringView tree : vendorTrees) {
        pending << QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\") + tree.toString();
        pending << QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\") + tree.toString();
    }
    while (!pending.isEmpty()) {
        const QString key = pending.takeLast();
        if (store.hasValue(key, QStringLiteral("Name")))
            names.insert(foldedCase(store.value(key, QStringLiteral("Name"))));
        for (const QString& child : store.childKeys(key))
            pending << key + QLatin1Char('\\') + child;
    }
    return names;
}

// The patch names, folded, and a hash of each that an ASCII text is checked
// against without a folded copy of it: most display names are no patch's.
class FoldedNames
{
public:
    void insert(const QString& text)
    {
        const QString folded = foldedCase(text);
        hashes.insert(asciiFoldedHash(folded));
        names.insert(folded);
    }
    bool contains(const QString& text) const
    {
        const size_t hash = asciiFoldedHash(text);
        return (hash == 0 || hashes.contains(hash)) && names.contains(foldedCase(text));
    }
    void assignFolded(QSet<QString> folded)
    {
        hashes.clear();
        for (const QString& name : folded)
            hashes.insert(asciiFoldedHash(name));
        names = std::move(folded);
    }

private:
    // 0 for a text that is not ASCII (its folded form may be).
    static size_t asciiFoldedHash(const QString& text)
    {
        size_t hash = 1;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u >= 0x80)
                return 0;
            hash = hash * 31 + (u >= u'A' && u <= u'Z' ? u + 0x20 : u);
        }
        return hash == 0 ? 1 : hash;
    }

    QSet<size_t> hashes;
    QSet<QString> names;
};

bool isDisplayName(const QString& name)
{
    return isSameRegistryName(name, u"DisplayName");
}
} // namespace

Result<DiscoveryExport, RegistryFileError> loadExportForDiscovery(const LocalPath& path)
{
    const QString uninstall = QString::fromLatin1(uninstallKey).section(QLatin1Char('\\'), 2);
    const auto inInstalledSoftware = [&uninstall](QStringView below) {
        return isUnderRegistryKey(below, uninstall) && below.size() > uninstall.size() &&
               !below.mid(uninstall.size() + 1).contains(QLatin1Char('\\'));
    };
    // One reading is enough when the vendor trees come before the list of
    // installed software, as "reg export" joins them: the patch names are
    // known by the time the display names come.
    FoldedNames names;
    ExportFacts facts;
    bool softwareSeen = false;
    bool vendorAfterSoftware = false;
    bool vendorSection = false; // the section being read
    ExportSelection both;
    both.keepsKey = [&](QStringView keyPath) {
        const QStringView below = softwarePathOfEitherView(keyPath);
        vendorSection = inVendorTree(below);
        facts.vendorTrees = facts.vendorTrees || vendorSection;
        facts.installedSoftware = facts.installedSoftware || isUnderRegistryKey(below, uninstall);
        if (vendorSection) {
            vendorAfterSoftware = vendorAfterSoftware || softwareSeen;
            return true;
        }
        const bool software = inInstalledSoftware(below);
        softwareSeen = softwareSeen || software;
        return software;
    };
    both.keepsWhole = [&vendorSection](QStringView) { return vendorSection; };
    both.valueName = QStringLiteral("DisplayName"); // of the list of installed software
    both.keepsValue = [&](const QString&, const QString& name, const QString& text) {
        if (!vendorSection)
            return isDisplayName(name) && names.contains(text);
        if (isSameRegistryName(name, u"Name"))
            names.insert(text);
        return true;
    };
    RegistryFileResult result = loadRegistryExport(path, both);
    if (!result.ok())
        return failure(result.error());
    result.value()->setOfAnotherMachine(true); // its folders are on the machine that wrote it
    facts.modified = result.value()->fileModified();
    if (!vendorAfterSoftware)
        return DiscoveryExport{std::move(result).value(), facts};

    // Else a second reading, for the display names of every patch name.
    names.assignFolded(patchNames(*result.value()));
    ExportSelection software;
    software.keepsKey = [&](QStringView keyPath) {
        return inInstalledSoftware(softwarePathOfEitherView(keyPath));
    };
    software.valueName = QStringLiteral("DisplayName");
    software.keepsValue = [&names](const QString&, const QString& name, const QString& text) {
        return isDisplayName(name) && names.contains(text);
    };
    RegistryFileResult second = loadRegistryExport(path, software);
    if (!second.ok())
        return failure(second.error()); // the file changed between the two readings
    result.value()->takeKeysOf(*second.value());
    return DiscoveryExport{std::move(result).value(), facts};
}
