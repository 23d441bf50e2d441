#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// The registry reads that discovery needs. Paths are full registry
// paths such as "HKEY_LOCAL_MACHINE\SOFTWARE\VANDRY"; key and value names
// match without regard to case, and subkeys come in the registry's own order
// (sorted by their upper-case form, spelled as stored).
class RegistryStore
{
public:
    virtual ~RegistryStore() = default;

    virtual QStringList childKeys(const QString& path) const = 0;
    virtual bool hasKey(const QString& path) const = 0;
    virtual bool hasValue(const QString& path, const QString& name) const = 0;
    // A missing value reads as empty text.
    virtual QString value(const QString& path, const QString& name) const = 0;

    // Whether the registry is another machine's, so that its folders are not on this one.
    bool isOfAnotherMachine() const { return anotherMachine; }
    void setOfAnotherMachine(bool another) { anotherMachine = another; }

private:
    bool anotherMachine = false;
};

// This machine's registry: the live one on Windows, an empty one elsewhere
// (created by the platform file selected in the build).
std::unique_ptr<RegistryStore> createNativeRegistry();

// "HKLM\Software" -> "HKEY_LOCAL_MACHINE\Software"; empty for an unknown hive.
QString canonicalHiveName(QStringView hive);
