#pragma once

// The parts of a registry export's lines: quoted texts, continuations, and
// value data as the registry hands it to readers.

#include "core/result.h"

#include <QCoreApplication>
#include <QString>
#include <QStringView>

// Translation context of the messages about a rejected export.
struct RegistryFile
{
    Q_DECLARE_TR_FUNCTIONS(RegistryFile)
};

// Whether a quoted text is open after the given text, when one was open
// before it (a raw line feed inside a value's text).
bool quoteOpenAfter(QStringView text, bool open);
// Where the backslash that continues a line stands, or -1: last on the line,
// or followed by nothing but a comment ("63,6f,\\;comment").
qsizetype continuationAt(QStringView line);
// Drops the backslash that continues a line, and what follows it; false when
// the line does not go on.
bool unwrap(QString& line);
// Reads a quoted text that starts at view[pos] == '"'; pos ends after the closing quote.
Result<void> readQuoted(QStringView view, qsizetype& pos, QString& out);
// The text of a value's data ("-" for a deletion sets remove); regedit4: the
// string types hold 8-bit text. onlyCheck: the data is checked, but no text made.
Result<void> parseValueData(QStringView data, bool regedit4, QString& valueText, bool& remove,
                            bool onlyCheck = false);
