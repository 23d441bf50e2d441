#pragma once

#include <QtGlobal>

// What one registry export may cost, whatever its size and shape.
struct ExportBounds
{
    qint64 fileBytes = qint64(1) << 30;   // checked while reading, not only at open
    qsizetype lineCharacters = 1 << 20;   // a line that is read, continued lines joined
    qsizetype keptEntries = 50'000;       // keys and values kept
    qsizetype keptCharacters = 8'000'000; // the names and texts kept
};
