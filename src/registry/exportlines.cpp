#include "exportlines.h"

#include "exportvalues.h"

#include "registryvalue.h"

#include <QIODevice>

#include <algorithm>

namespace {
constexpr qint64 chunkBytes = 1 << 20;

// 8-bit text, as Windows-1252.
void fromWindows1252(const QByteArray& bytes, QString& text)
{
    const qsizetype start = text.size();
    text.resize(start + bytes.size());
    QChar* out = text.data() + start;
    for (const char byte : bytes)
        *out++ = QChar(RegistryValue::fromWindows1252(static_cast<unsigned char>(byte)));
}
} // namespace

ExportLines::ExportLines(QIODevice& source, bool ansi) : device(source)
{
    const QByteArray head = device.peek(8);
    if (head.startsWith("\xff\xfe")) {
        used = Encoding::Utf16LittleEndian;
        device.read(2);
        decodingFailed = !device.isSequential() && (device.size() - device.pos()) % 2 != 0;
        decoder = QStringDecoder(QStringDecoder::Utf16LE);
    } else if (head.startsWith("REGEDIT4") || ansi) {
        regedit4 = head.startsWith("REGEDIT4");
        used = Encoding::Windows1252;
    } else {
        if (head.startsWith("\xef\xbb\xbf"))
            device.read(3);
        decoder = QStringDecoder(QStringDecoder::Utf8);
    }
}

void ExportLines::decode(const QByteArray& chunk)
{
    if (used == Encoding::Windows1252) {
        fromWindows1252(chunk, buffer);
        return;
    }
    buffer.append(decoder(chunk));
    decodingFailed = decodingFailed || decoder.hasError();
}

// Reads the next chunk; false at the end of the file, where padding goes.
bool ExportLines::fill()
{
    if (atEnd)
        return false;
    // What was handed out already is dropped, so the buffer holds a chunk or
    // a line, whichever is longer.
    if (position > 0) {
        buffer.remove(0, position);
        position = 0;
    }
    // No more than the file still holds, so a small file costs a small buffer.
    const qint64 left = device.isSequential() ? chunkBytes : device.size() - device.pos();
    const QByteArray chunk = left > 0 ? device.read(std::min(chunkBytes, left)) : QByteArray();
    if (!chunk.isEmpty()) {
        decode(chunk);
        return true;
    }
    atEnd = true;
    if (used != Encoding::Windows1252)
        decode(QByteArray()); // what the decoder holds back of a character
    qsizetype end = buffer.size();
    while (end > 0 && (buffer.at(end - 1) == QChar(0) || buffer.at(end - 1) == QChar(0x1a)))
        --end;
    buffer.truncate(end);
    return false;
}

bool ExportLines::next(QStringView& line)
{
    qsizetype searched = position;
    while (true) {
        const qsizetype size = buffer.size();
        const QChar* text = buffer.constData();
        // The first line end: LF found by Qt's vector search, then a CR before it.
        const QStringView rest = QStringView(buffer).mid(searched);
        const qsizetype lineFeed = rest.indexOf(QLatin1Char('\n'));
        const qsizetype carriageReturn =
            (lineFeed < 0 ? rest : rest.left(lineFeed)).indexOf(QLatin1Char('\r'));
        const qsizetype found = carriageReturn >= 0 ? carriageReturn : lineFeed;
        qsizetype end = found >= 0 ? searched + found : size;
        // A CR that ends the buffer may be the first half of a CRLF.
        const bool complete = end < size && (text[end] == QLatin1Char('\n') || end + 1 < size);
        if (complete || (end < size && atEnd)) {
            line = QStringView(buffer).mid(position, end - position);
            if (text[end] == QLatin1Char('\r') && end + 1 < size &&
                text[end + 1] == QLatin1Char('\n'))
                ++end;
            position = end + 1;
            return true;
        }
        if (atEnd) {
            if (finished)
                return false;
            finished = true;
            line = QStringView(buffer).mid(position);
            position = buffer.size();
            return true;
        }
        const qsizetype consumed = position;
        fill(); // moves the rest of the text to the front
        searched = std::clamp<qsizetype>(end - consumed, 0, buffer.size());
    }
}

Result<void> ExportLines::decoding() const
{
    if (decodingFailed)
        return failure(RegistryFile::tr("the file is not valid UTF-16LE text"));
    return {};
}
