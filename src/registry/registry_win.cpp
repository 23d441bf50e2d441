#include "registrystore.h"

#include <QSettings>

#include <algorithm>

namespace {
// The live registry, always in its 64-bit view.
class NativeRegistryStore : public RegistryStore
{
public:
    QStringList childKeys(const QString& path) const override
    {
        QSettings settings(path, QSettings::Registry64Format);
        QStringList keys = settings.childGroups();
        std::stable_sort(keys.begin(), keys.end(), [](const QString& a, const QString& b) {
            return a.toUpper() < b.toUpper();
        });
        return keys;
    }

    bool hasValue(const QString& path, const QString& name) const override
    {
        QSettings settings(path, QSettings::Registry64Format);
        return settings.value(name).isValid();
    }

    QString value(const QString& path, const QString& name) const override
    {
        QSettings settings(path, QSettings::Registry64Format);
        return settings.value(name).toString();
    }
};
} // namespace

std::unique_ptr<RegistryStore> createNativeRegistry()
{
    return std::make_unique<NativeRegistryStore>();
}
