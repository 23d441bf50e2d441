#pragma once

#include "exportbounds.h"

#include "core/result.h"

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>

class QIODevice;

// The physical lines of a registry export, found on its raw bytes as they are
// read chunk by chunk: a line is decoded only when it is read, so a line passed
// over costs the search for its end and nothing is held of it. UTF-16LE after
// its byte order mark, Windows-1252 for REGEDIT4 files and version 5 files saved
// in the ANSI code page, else UTF-8 (after an optional byte order mark). CR, LF
// and CRLF end lines; a NUL or Ctrl-Z where a line starts, or in a line that is
// read, ends the text as Windows' importer ends it (what follows is padding).
class ExportScanner
{
public:
    enum class Encoding
    {
        Utf16LittleEndian,
        Utf8,
        Windows1252,
    };

    // Reads from the device's current position, in the encoding its first bytes
    // tell; ansi forces Windows-1252 (for a version 5 file that is no UTF-8).
    ExportScanner(QIODevice& source, const ExportBounds& bounds, bool ansi = false);

    bool isRegedit4() const { return regedit4; }
    Encoding encoding() const { return used; }

    // Moves to the next line (the first, on the first call); false at the end of the text.
    bool nextLine();
    // The current line's first character after blanks; 0 for a blank line.
    char16_t firstCharacter();
    // Whether the current line begins, after blanks, with the ASCII text in any case.
    bool startsWith(QLatin1StringView text);
    // The current line decoded, without its end; valid until the next call.
    Result<QStringView> read();
    // Why the bytes read so far are no export text (odd UTF-16, invalid UTF-8),
    // or past the file's bound.
    Result<void> problem() const;
    // Whether a line read was no UTF-8, so the file may be in the ANSI code page.
    bool isNotUtf8() const { return trouble == Problem::InvalidUtf8; }
    static QString overlongText(const ExportBounds& bounds);

private:
    enum class Problem
    {
        None,
        OddUtf16,
        InvalidUtf8,
        TooLarge,
    };
    struct Search
    {
        qsizetype at = -1;
        qsizetype searchedTo = 0;
    };

    bool more(qsizetype keepFrom);
    qsizetype find(Search& search, qsizetype from, qsizetype to, char c) const;
    bool findEnd(bool keep);
    char16_t unitAt(qsizetype offset) const
    {
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData()) + offset;
        return unit == 1 ? char16_t(data[0]) : char16_t(data[0] | (data[1] << 8));
    }
    qsizetype paddingIn(qsizetype from, qsizetype to) const;
    Result<QStringView> overlong() const;

    QIODevice& device;
    const ExportBounds bounds;
    Encoding used = Encoding::Utf8;
    bool regedit4 = false;
    int unit = 1;
    QByteArray bytes;       // the file from the current line on
    qint64 total = 0;       // bytes read after the byte order mark
    qsizetype start = 0;    // of the current line in bytes
    qsizetype end = -1;     // of its line end, once found
    qsizetype scanned = 0;  // where the search for its end goes on
    qsizetype firstAt = -1; // of its first character after blanks
    bool tooLong = false;   // its start was let go while passing its blanks
    Search lineFeed;
    Search carriageReturn;
    bool started = false;
    bool atEnd = false;     // of the file
    bool textEnded = false; // at the end of the file or at padding
    Problem trouble = Problem::None;
    QString decoded;
};
