#pragma once

#include "core/result.h"
#include "patchset.h"

// The master list of a patch list text: one entry per version object of the
// "Product" array, each holding its patches meant for Windows ("Windows" or
// "all" in their platform), in document order.
//
// The text is read as strict JSON, as a stream of events without building a
// tree and without recursion, and never run as script. Values convert as the
// script engine of earlier releases converted them: keys match exactly, the
// last of repeated keys counts, booleans count as absent (and leave arrays,
// so later elements move up), null and arrays or objects read as empty text,
// and numbers read as text in the general format with 15 significant digits
// after the standard library's conversion (out of range: infinity or zero).
// A text that is not a JSON object, or has anything around it, gives an
// empty list.
QList<VersionPatches> parsePatchListText(const QString& text);

// The same for received bytes, read as UTF-8 when they are valid UTF-8 and
// else one for one as Latin-1 characters, without building the text first. With wantedVersions,
// only the entries of those versions keep their patches (the others keep their version text):
// nothing else reads them, and the patches of every other version would
// cost memory and time on a long list. Debug logging keeps them all, since
// every kept patch is logged. It fails for bytes that are not JSON with a
// "Product" array.
Result<QList<VersionPatches>> parsePatchListBytes(const QByteArray& bytes,
                                                  const QStringList* wantedVersions = nullptr);
