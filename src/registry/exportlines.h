#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

class QIODevice;

// The physical lines of a registry export, decoded chunk by chunk as they are
// read, so that the file is never held whole: UTF-16LE after its byte order
// mark, Windows-1252 for REGEDIT4 files and version 5 files saved in the ANSI
// code page, else UTF-8 (after an optional byte order mark). CR, LF and CRLF
// end lines; NUL and Ctrl-Z padding at the very end is no text.
class ExportLines
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
    explicit ExportLines(QIODevice& source, bool ansi = false);

    bool isRegedit4() const { return regedit4; }
    // The next line, without its end, valid until the next call; false after
    // the last one.
    bool next(QStringView& line);
    // Whether the bytes read so far were text in their encoding, and why not
    // (odd UTF-16, invalid UTF-8).
    Result<void> decoding() const;
    Encoding encoding() const { return used; }

private:
    bool fill();
    void decode(const QByteArray& chunk);

    QIODevice& device;
    Encoding used = Encoding::Utf8;
    bool regedit4 = false;
    QStringDecoder decoder;
    QString buffer;
    qsizetype position = 0;
    bool atEnd = false;
    bool finished = false;
    bool decodingFailed = false;
};
