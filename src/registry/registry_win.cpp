#include "registrystore.h"
#include "registryvalue.h"
#include "win32registry.h"

namespace {
std::wstring wide(const QString& text)
{
    return text.toStdWString();
}

// The live registry, through the layer without Qt; values read as text by
// the same rules as in a registry export.
class NativeRegistryStore : public RegistryStore
{
public:
    QStringList childKeys(const QString& path) const override
    {
        QStringList keys;
        for (const std::wstring& name : Win32Registry::subkeys(wide(path)))
            keys.append(QString::fromStdWString(name));
        return keys;
    }

    bool hasKey(const QString& path) const override { return Win32Registry::exists(wide(path)); }

    bool hasValue(const QString& path, const QString& name) const override
    {
        return Win32Registry::value(wide(path), wide(name)).has_value();
    }

    QString value(const QString& path, const QString& name) const override
    {
        const auto raw = Win32Registry::value(wide(path), wide(name));
        if (!raw)
            return QString();
        return QString::fromStdU16String(
            RegistryValue::text(raw->type, raw->bytes.data(), raw->bytes.size()));
    }
};
} // namespace

std::unique_ptr<RegistryStore> createNativeRegistry()
{
    return std::make_unique<NativeRegistryStore>();
}
