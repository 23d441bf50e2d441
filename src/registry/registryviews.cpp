#include "registryviews.h"

#include "registryfile.h"
#include "registrykey.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace {
constexpr QStringView software = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\";
constexpr QStringView shortSoftware = u"HKLM\\SOFTWARE\\";
constexpr QStringView thirtyTwoBitNode = u"WOW6432Node";

// The part of the path below SOFTWARE, or null for a path outside it.
QStringView belowSoftware(QStringView path)
{
    for (const QStringView prefix : {software, shortSoftware}) {
        if (startsWithRegistryName(path, prefix))
            return path.mid(prefix.size());
    }
    return {};
}
} // namespace

QStringView softwarePathOfEitherView(QStringView path)
{
    const QStringView below = belowSoftware(path);
    if (!isUnderRegistryKey(below, thirtyTwoBitNode))
        return below;
    return below.size() > thirtyTwoBitNode.size() ? below.mid(thirtyTwoBitNode.size() + 1)
                                                  : QStringView();
}

QString thirtyTwoBitTwin(const QString& path)
{
    const QStringView below = belowSoftware(path);
    if (below.isEmpty() || isUnderRegistryKey(below, thirtyTwoBitNode))
        return QString();
    QString twin = software.toString();
    twin += thirtyTwoBitNode;
    twin += QLatin1Char('\\');
    twin += below;
    return twin;
}

QString BothViewsStore::holder(const QString& path) const
{
    if (base.hasKey(path))
        return path;
    const QString twin = thirtyTwoBitTwin(path);
    return twin.isEmpty() ? path : twin;
}

QStringList BothViewsStore::childKeys(const QString& path) const
{
    QStringList names = base.childKeys(path);
    const QString twin = thirtyTwoBitTwin(path);
    if (twin.isEmpty())
        return names;
    const QStringList others = base.childKeys(twin);
    if (others.isEmpty())
        return names;
    // An Uninstall list holds thousands of names: each one's identity is
    // made once, for the look-up and for the order.
    std::vector<std::pair<QString, QString>> keyed; // identity, name
    keyed.reserve(size_t(names.size() + others.size()));
    QSet<QString> own;
    for (const QString& name : names) {
        keyed.emplace_back(registryIdentity(name), name);
        own.insert(keyed.back().first);
    }
    for (const QString& name : others) {
        QString identity = registryIdentity(name);
        if (!own.contains(identity))
            keyed.emplace_back(std::move(identity), name);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    names.clear();
    for (const auto& [identity, name] : keyed)
        names << name;
    return names;
}

bool BothViewsStore::hasKey(const QString& path) const
{
    return base.hasKey(path) || base.hasKey(thirtyTwoBitTwin(path));
}

bool BothViewsStore::hasValue(const QString& path, const QString& name) const
{
    return base.hasValue(holder(path), name);
}

QString BothViewsStore::value(const QString& path, const QString& name) const
{
    return base.value(holder(path), name);
}

QString ThirtyTwoBitViewStore::inView(const QString& path) const
{
    const QString twin = thirtyTwoBitTwin(path);
    return twin.isEmpty() ? path : twin;
}

QStringList ThirtyTwoBitViewStore::childKeys(const QString& path) const
{
    return base.childKeys(inView(path));
}

bool ThirtyTwoBitViewStore::hasKey(const QString& path) const
{
    return base.hasKey(inView(path));
}

bool ThirtyTwoBitViewStore::hasValue(const QString& path, const QString& name) const
{
    return base.hasValue(inView(path), name);
}

QString ThirtyTwoBitViewStore::value(const QString& path, const QString& name) const
{
    return base.value(inView(path), name);
}
