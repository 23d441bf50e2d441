#include "registryfile.h"

#include "registrykey.h"

#include <cstring>

QString registryIdentity(QStringView name)
{
    QString upper(name.size(), Qt::Uninitialized);
    QChar* out = upper.data();
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.unicode() < 0x80) { // most names are ASCII
            const char16_t a = c.unicode();
            *out++ = QChar(a >= 'a' && a <= 'z' ? char16_t(a - 0x20) : a);
        } else if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            const char32_t u = QChar::toUpper(QChar::surrogateToUcs4(c, name.at(i + 1)));
            *out++ = QChar(QChar::highSurrogate(u));
            *out++ = QChar(QChar::lowSurrogate(u));
            ++i;
        } else {
            *out++ = QChar(char16_t(QChar::toUpper(char32_t(c.unicode()))));
        }
    }
    return upper;
}

bool startsWithRegistryName(QStringView text, QStringView prefix)
{
    if (text.size() < prefix.size())
        return false;
    // Names are mostly spelled alike: what is the same is passed over four
    // characters at a time.
    qsizetype same = 0;
    while (same + 4 <= prefix.size() &&
           std::memcmp(text.utf16() + same, prefix.utf16() + same, 8) == 0)
        same += 4;
    for (qsizetype i = same; i < prefix.size(); ++i) {
        const char16_t x = text[i].unicode();
        const char16_t y = prefix[i].unicode();
        if (x == y)
            continue;
        if (x >= 0x80 || y >= 0x80)
            return registryIdentity(text.left(prefix.size())) == registryIdentity(prefix);
        if ((x | 0x20) != (y | 0x20) || (x | 0x20) < 'a' || (x | 0x20) > 'z')
            return false;
    }
    return true;
}

bool isSameRegistryName(QStringView a, QStringView b)
{
    return a.size() == b.size() && startsWithRegistryName(a, b);
}

bool isUnderRegistryKey(QStringView path, QStringView tree)
{
    return startsWithRegistryName(path, tree) &&
           (path.size() == tree.size() || path.at(tree.size()) == QLatin1Char('\\'));
}

// Frees a key tree of any depth without recursion.
void RegistryFileStore::freeTree(std::unique_ptr<Key> top)
{
    std::vector<std::unique_ptr<Key>> pending;
    pending.push_back(std::move(top));
    while (!pending.empty()) {
        std::unique_ptr<Key> key = std::move(pending.back());
        pending.pop_back();
        if (!key)
            continue;
        for (auto& child : key->children)
            pending.push_back(std::move(child.second));
    }
}

namespace {
// Splits "HIVE\a\b" into its components, the hive in its long form. Empty
// when the hive is unknown or a component is empty.
bool splitPath(QStringView path, QString& hive, RegistryPathParts& components)
{
    components.clear();
    qsizetype start = 0;
    while (true) {
        const qsizetype separator = path.indexOf(QLatin1Char('\\'), start);
        const QStringView part =
            path.mid(start, separator < 0 ? path.size() - start : separator - start);
        if (part.isEmpty())
            return false;
        components.append(part);
        if (separator < 0)
            break;
        start = separator + 1;
    }
    hive = canonicalHiveName(components.front());
    return !hive.isEmpty();
}
} // namespace

RegistryFileStore::RegistryFileStore() : root(std::make_unique<Key>()) {}

RegistryFileStore::~RegistryFileStore()
{
    freeTree(std::move(root));
}

// How many leading components of a path are the chain of keys last made,
// which runs of sections under one parent share.
qsizetype RegistryFileStore::sharedWithLastChain(const QString& hive,
                                                 const RegistryPathParts& components) const
{
    qsizetype shared = 0;
    while (shared < components.size() && shared < qsizetype(lastChain.size())) {
        const QString& name = lastChain[size_t(shared)]->name;
        const bool same =
            shared == 0 ? name == hive : isSameRegistryName(components.at(shared), name);
        if (!same)
            break;
        ++shared;
    }
    return shared;
}

RegistryFileStore::Key* RegistryFileStore::findKey(QStringView path) const
{
    QString hive;
    RegistryPathParts components;
    if (!splitPath(path, hive, components))
        return nullptr;
    const qsizetype shared = sharedWithLastChain(hive, components);
    Key* key = shared == 0 ? root.get() : lastChain[size_t(shared - 1)];
    for (qsizetype i = shared; i < components.size(); ++i) {
        const QString upper = i == 0 ? hive : registryIdentity(components.at(i));
        auto it = key->children.find(upper);
        if (it == key->children.end())
            return nullptr;
        key = it->second.get();
    }
    return key;
}

RegistryFileStore::Key* RegistryFileStore::ensureKey(QStringView path)
{
    QString hive;
    RegistryPathParts components;
    if (!splitPath(path, hive, components))
        return nullptr;
    const qsizetype shared = sharedWithLastChain(hive, components);
    lastChain.resize(size_t(shared));
    Key* key = shared == 0 ? root.get() : lastChain.back();
    for (qsizetype i = shared; i < components.size(); ++i) {
        const QString spelled = i == 0 ? hive : components.at(i).toString();
        std::unique_ptr<Key>& child = key->children[registryIdentity(spelled)];
        if (!child) {
            child = std::make_unique<Key>();
            child->name = spelled;
        }
        key = child.get();
        lastChain.push_back(key);
    }
    return key;
}

void RegistryFileStore::takeKeysOf(RegistryFileStore& other)
{
    lastChain.clear();
    std::vector<std::pair<Key*, Key*>> pending{{root.get(), other.root.get()}};
    while (!pending.empty()) {
        const auto [into, from] = pending.back();
        pending.pop_back();
        for (auto& [identity, child] : from->children) {
            std::unique_ptr<Key>& here = into->children[identity];
            if (!here) {
                here = std::move(child);
                continue;
            }
            for (const Key::Value& value : child->values)
                here->setValue(value.name, value.text);
            pending.push_back({here.get(), child.get()});
        }
    }
}

QStringList RegistryFileStore::childKeys(const QString& path) const
{
    QStringList names;
    if (const Key* key = findKey(path)) {
        for (const auto& child : key->children)
            names.append(child.second->name);
    }
    return names;
}

bool RegistryFileStore::hasValue(const QString& path, const QString& name) const
{
    const Key* key = findKey(path);
    return key && key->findValue(registryIdentity(name));
}

QStringList RegistryFileStore::valueNames(const QString& path) const
{
    QStringList names;
    if (const Key* key = findKey(path)) {
        for (const Key::Value& value : key->values)
            names.append(value.name);
    }
    return names;
}

QString RegistryFileStore::value(const QString& path, const QString& name) const
{
    const Key* key = findKey(path);
    const Key::Value* found = key ? key->findValue(registryIdentity(name)) : nullptr;
    return found ? found->text : QString();
}

bool RegistryFileStore::setValue(const QString& path, const QString& name, const QString& text)
{
    Key* key = ensureKey(path);
    if (!key)
        return false;
    key->setValue(name, text);
    return true;
}

bool RegistryFileStore::removeValue(const QString& path, const QString& name)
{
    Key* key = findKey(path);
    if (key)
        key->removeValue(name);
    return true;
}

bool RegistryFileStore::addKey(const QString& path)
{
    return ensureKey(path) != nullptr;
}

bool RegistryFileStore::removeKey(const QString& path)
{
    QString hive;
    RegistryPathParts components;
    if (!splitPath(path, hive, components))
        return false;
    lastChain.clear();
    const QString last = components.size() == 1 ? hive : registryIdentity(components.back());
    Key* parent = root.get();
    if (components.size() > 1)
        parent = findKey(QStringView(path).left(path.lastIndexOf(QLatin1Char('\\'))));
    if (!parent)
        return true;
    const auto it = parent->children.find(last);
    if (it != parent->children.end()) {
        freeTree(std::move(it->second));
        parent->children.erase(it);
    }
    return true;
}
