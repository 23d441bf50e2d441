#pragma once

#include "update/publishedpatch.h"

#include <QList>

// The whole output of console mode: installed products, available updates
// per product and installed patches.
void printConsoleReport(const QList<PublishedPatch>& available);
