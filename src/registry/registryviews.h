#pragma once

#include "registrystore.h"

// A 64-bit Windows keeps two views of HKEY_LOCAL_MACHINE\SOFTWARE: the 64-bit
// one, and the 32-bit one that 32-bit installers write to, which the 64-bit
// view and "reg export" show under SOFTWARE\WOW6432Node. Paths outside
// SOFTWARE are read as they are by both stores here.

// Both views as one, as Programs and Features lists them: a key's subkeys are
// those of both views, and a key present in the 64-bit view is read from it
// alone, one present only in the 32-bit view from that.
class BothViewsStore : public RegistryStore
{
public:
    explicit BothViewsStore(const RegistryStore& registry) : base(registry)
    {
        setOfAnotherMachine(registry.isOfAnotherMachine());
    }

    QStringList childKeys(const QString& path) const override;
    bool hasKey(const QString& path) const override;
    bool hasValue(const QString& path, const QString& name) const override;
    QString value(const QString& path, const QString& name) const override;

private:
    // The key that holds the path's values: the 64-bit one unless only the
    // 32-bit view has it.
    QString holder(const QString& path) const;

    const RegistryStore& base;
};

// The 32-bit view alone, by the paths of the 64-bit one: what a 32-bit
// program reads.
class ThirtyTwoBitViewStore : public RegistryStore
{
public:
    explicit ThirtyTwoBitViewStore(const RegistryStore& registry) : base(registry)
    {
        setOfAnotherMachine(registry.isOfAnotherMachine());
    }

    QStringList childKeys(const QString& path) const override;
    bool hasKey(const QString& path) const override;
    bool hasValue(const QString& path, const QString& name) const override;
    QString value(const QString& path, const QString& name) const override;

private:
    QString inView(const QString& path) const;

    const RegistryStore& base;
};

// The path below HKEY_LOCAL_MACHINE\SOFTWARE (either name of the hive) in
// either view, the 32-bit one as the 64-bit one names it:
// "HKLM\SOFTWARE\WOW6432Node\VANDRY\X" and "HKLM\SOFTWARE\VANDRY\X" -> "VANDRY\X".
// Empty outside SOFTWARE.
QStringView softwarePathOfEitherView(QStringView path);

// "HKEY_LOCAL_MACHINE\SOFTWARE\X" -> "HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\X";
// empty for a path that has no 32-bit twin (in the 32-bit view already, or
// outside HKEY_LOCAL_MACHINE\SOFTWARE).
QString thirtyTwoBitTwin(const QString& path);
