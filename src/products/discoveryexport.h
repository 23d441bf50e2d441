#pragma once

#include "exportfacts.h"
#include "registry/registryfile.h"

class LocalPath;

// A registry export read for discovery, keeping only what discovery and the
// patch finder read (declared here, beside them, so that a new product rule
// cannot miss data): the vendor trees whole, and of the Windows list of
// installed software only the display names that an installed patch may be
// looked up by. The file is read in chunks, so that memory stays the same
// whatever its size; once when the vendor trees come first, as "reg export"
// joins them, else a second time for the display names. The store is of
// another machine: the folders it names are on the machine that wrote it.
struct DiscoveryExport
{
    std::unique_ptr<RegistryFileStore> store;
    ExportFacts facts;
};
Result<DiscoveryExport, RegistryFileError> loadExportForDiscovery(const LocalPath& path);
