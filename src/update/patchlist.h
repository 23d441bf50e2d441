#pragma once

#include "publishedpatch.h"

#include <QVariant>

// The patch list document as nested variants: objects become maps, arrays
// lists, numbers doubles, strings texts and null an invalid variant; booleans
// are left out. Anything but a JSON object gives an empty map.
QVariantMap evaluatePatchList(const QString& text);

// Reading a variant the way the parser needs it.
QVariantList variantAsList(const QVariant& value);
QVariantMap variantAsMap(const QVariant& value);
QString variantAsText(const QVariant& value);

// The master list of a patch list text: one entry per version object, holding
// the patches meant for Windows ("Windows" or "all" in their platform).
QList<VersionPatches> parsePatchListText(const QString& text);
