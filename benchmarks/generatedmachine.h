#pragma once

#include <QByteArray>
#include <QString>

// Generated inputs for the benchmarks: a large machine and a large patch list.
namespace Generated {

// A registry export (UTF-8) of a machine with all thirteen products, 300
// installed patches without QFE_ID, and 5,000 entries in the Windows list of
// installed software. The install folders are created below installRoot.
QByteArray bigMachine(const QString& installRoot, int uninstallEntries = 5000,
                      int installedPatches = 300);

// A patch list of about 5 MB: 20,000 patches over 40 versions.
QByteArray bigPatchList(int versions = 40, int patchesPerVersion = 500);

} // namespace Generated
