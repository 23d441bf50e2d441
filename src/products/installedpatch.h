#pragma once

#include <QString>

// One patch installed for a product, as registered under its "\Updates" key.
struct InstalledPatch
{
    QString name;
    QString qfeId;    // "N/A" when there is none
    QString idSuffix; // last six characters of the QFE or Uninstall key, or "N/A"

    bool operator==(const InstalledPatch& other) const
    {
        return name == other.name && qfeId == other.qfeId && idSuffix == other.idSuffix;
    }
};
