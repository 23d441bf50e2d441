#pragma once

#include <QDateTime>

// What a registry export held of the trees discovery reads, and when it was
// written: a fleet's share keeps whatever file an export task last left.
struct ExportFacts
{
    QDateTime modified;             // the file's modification time; invalid when unknown
    bool vendorTrees = false;       // a key under one of the maker's trees
    bool installedSoftware = false; // the Windows list of installed software

    bool holdsAnything() const { return vendorTrees || installedSoftware; }
};
