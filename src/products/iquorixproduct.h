#pragma once

#include "installedpatch.h"

#include <QList>
#include <QString>
#include <QStringList>

// A known product of the maker, as discovered on this machine.
class IQuorixProduct
{
public:
    virtual ~IQuorixProduct() = default;

    virtual QString name() const = 0;
    virtual QString displayName() const = 0;
    virtual int type() const = 0;
    virtual bool isInstalled() const = 0;
    virtual QString version() const = 0;
    virtual QString installDir() const = 0;
    virtual QStringList aliases() const = 0;
    virtual QList<InstalledPatch> installedPatches() const = 0;
    virtual QString registryKey() const = 0;
    virtual QString updatesKey() const = 0;
    virtual QString patchLogFile() const = 0;
    virtual void setName(const QString& name) = 0;
    virtual void setInstalled(const bool& installed) = 0;
    virtual void setInstallDir(const QString& dir) = 0;
    virtual void setVersion(const QString& version) = 0;
};
