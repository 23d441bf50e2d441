#include "exportscanner.h"

#include "exportvalues.h"
#include "registryvalue.h"

#include <QByteArrayView>
#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {
constexpr qint64 chunkBytes = 1 << 20;
// How far the start of a file is searched for its header.
constexpr qint64 headSearched = 4096;

// A joined export repeats the byte order mark of each part.
bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == QChar::ByteOrderMark;
}

bool isPadding(char16_t c)
{
    return c == 0 || c == 0x1a;
}

bool isAscii(const char* data, qsizetype length)
{
    qsizetype i = 0;
    for (quint64 word; i + 8 <= length; i += 8) {
        std::memcpy(&word, data + i, 8);
        if (word & 0x8080808080808080ULL)
            return false;
    }
    for (; i < length; ++i) {
        if (data[i] & 0x80)
            return false;
    }
    return true;
}

char16_t asciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 0x20) : c;
}
} // namespace

ExportScanner::ExportScanner(QIODevice& source, const ExportBounds& limits, bool ansi)
    : device(source), bounds(limits)
{
    const QByteArray head = device.peek(headSearched);
    if (head.startsWith("\xff\xfe")) {
        used = Encoding::Utf16LittleEndian;
        unit = 2;
        device.read(2);
        if (!device.isSequential() && (device.size() - device.pos()) % 2 != 0)
            trouble = Problem::OddUtf16;
        return;
    }
    const bool byteOrderMark = head.startsWith("\xef\xbb\xbf");
    qsizetype header = byteOrderMark ? 3 : 0;
    while (header < head.size() && (head.at(header) == ' ' || head.at(header) == '\t' ||
                                    head.at(header) == '\r' || head.at(header) == '\n'))
        ++header;
    regedit4 = QByteArrayView(head).sliced(header).startsWith("REGEDIT4");
    if (regedit4 || ansi)
        used = Encoding::Windows1252;
    if (byteOrderMark)
        device.read(3);
}

// Where the first NUL or Ctrl-Z in [from, to) stands, or -1: eight bytes at
// a time, as no line of text holds either.
qsizetype ExportScanner::paddingIn(qsizetype from, qsizetype to) const
{
    const char* data = bytes.constData();
    if (unit == 1) {
        const void* nul = std::memchr(data + from, 0, size_t(to - from));
        const qsizetype stop = nul ? static_cast<const char*>(nul) - data : to;
        const void* eof = std::memchr(data + from, 0x1a, size_t(stop - from));
        return eof ? static_cast<const char*>(eof) - data : nul ? stop : -1;
    }
    const auto hasZeroUnit = [](quint64 v) {
        return ((v - 0x0001000100010001ULL) & ~v & 0x8000800080008000ULL) != 0;
    };
    qsizetype at = from;
    for (; at + 8 <= to; at += 8) {
        quint64 word;
        std::memcpy(&word, data + at, 8);
        if (hasZeroUnit(word) || hasZeroUnit(word ^ 0x001a001a001a001aULL))
            break;
    }
    for (; at < to; at += 2) {
        if (isPadding(unitAt(at)))
            return at;
    }
    return -1;
}

// Lets go of the bytes before keepFrom and reads the next chunk; false at the
// end of the file, or at its bound.
bool ExportScanner::more(qsizetype keepFrom)
{
    if (atEnd)
        return false;
    keepFrom -= keepFrom % unit;
    if (keepFrom > 0) {
        const qsizetype kept = bytes.size() - keepFrom;
        std::memmove(bytes.data(), bytes.constData() + keepFrom, size_t(kept));
        bytes.resize(kept); // the capacity stays
        start -= keepFrom;
        end = end >= 0 ? end - keepFrom : end;
        scanned = std::max<qsizetype>(scanned - keepFrom, 0);
        firstAt = firstAt >= 0 ? firstAt - keepFrom : firstAt;
        for (Search* search : {&lineFeed, &carriageReturn}) {
            search->at = search->at >= 0 ? search->at - keepFrom : -1;
            search->searchedTo = std::max<qsizetype>(search->searchedTo - keepFrom, 0);
        }
    }
    // No more than the file holds, so that a small file costs a small buffer,
    // and never past the bound, however the file grows while it is read.
    const qint64 left = device.isSequential() ? chunkBytes : device.size() - device.pos();
    const qint64 wanted =
        std::min({chunkBytes, left > 0 ? left : headSearched, bounds.fileBytes + 1 - total});
    const qsizetype before = bytes.size();
    bytes.resize(before + qsizetype(wanted));
    const qint64 got = std::max<qint64>(device.read(bytes.data() + before, wanted), 0);
    bytes.resize(before + qsizetype(got));
    total += got;
    if (total > bounds.fileBytes) {
        trouble = Problem::TooLarge;
        atEnd = true;
        return false;
    }
    if (got > 0)
        return true;
    atEnd = true;
    if (bytes.size() % unit != 0) {
        bytes.chop(1);
        trouble = trouble == Problem::None ? Problem::OddUtf16 : trouble;
    }
    return false;
}

// The first unit c in [from, to), searched on the raw bytes; what a search
// found is remembered, so no byte is searched twice for the same unit.
qsizetype ExportScanner::find(Search& search, qsizetype from, qsizetype to, char c) const
{
    if (search.at >= from)
        return search.at < to ? search.at : -1;
    const char* data = bytes.constData();
    for (qsizetype p = std::max(from, search.searchedTo); p < to;) {
        const void* hit = std::memchr(data + p, c, size_t(to - p));
        if (!hit)
            break;
        const qsizetype at = static_cast<const char*>(hit) - data;
        if (unit == 1 || (at % 2 == 0 && data[at + 1] == 0)) {
            search = {at, at + unit};
            return at;
        }
        p = at + 1;
    }
    search = {-1, std::max(to, search.searchedTo)};
    return -1;
}

// Finds the current line's end, keeping the line (false once it passes the
// bound of a line that is read) or letting go of it as the search goes on.
bool ExportScanner::findEnd(bool keep)
{
    const qsizetype most = bounds.lineCharacters * (used == Encoding::Utf8 ? 3 : unit) + unit;
    while (end < 0) {
        const qsizetype size = bytes.size() - bytes.size() % unit;
        const qsizetype lf = find(lineFeed, scanned, size, '\n');
        const qsizetype cr = find(carriageReturn, scanned, lf >= 0 ? lf : size, '\r');
        if (cr >= 0 || lf >= 0) {
            end = cr >= 0 ? cr : lf;
            break;
        }
        scanned = size;
        if (keep && size - start > most) {
            // Padding within the line ends it, and the text, before the bound.
            const qsizetype padding = paddingIn(start, size);
            if (padding < 0)
                return false;
            end = padding;
            break;
        }
        if (!more(keep ? start : size))
            end = bytes.size() - bytes.size() % unit;
    }
    return true;
}

bool ExportScanner::nextLine()
{
    if (textEnded)
        return false;
    if (started) {
        findEnd(false);
        if (end + unit > bytes.size()) { // the last line, without an end
            textEnded = true;
            return false;
        }
        if (unitAt(end) == u'\r' && end + 2 * unit > bytes.size())
            more(end); // is it the first half of a CRLF?
        qsizetype next = end + unit;
        if (unitAt(end) == u'\r' && next + unit <= bytes.size() && unitAt(next) == u'\n')
            next += unit;
        start = next;
    }
    started = true;
    end = -1;
    scanned = start;
    firstAt = -1;
    tooLong = false;
    while (start + unit > bytes.size()) {
        if (!more(start)) {
            textEnded = true;
            return false;
        }
    }
    textEnded = isPadding(unitAt(start));
    return !textEnded;
}

char16_t ExportScanner::firstCharacter()
{
    if (firstAt < 0) {
        const qsizetype most = bounds.lineCharacters * unit;
        firstAt = start;
        while (true) {
            const qsizetype size = bytes.size() - bytes.size() % unit;
            while (firstAt < size && isBlank(unitAt(firstAt)))
                firstAt += unit;
            if (firstAt < size)
                break;
            // A line of blanks of any length is passed over without being held.
            tooLong = tooLong || firstAt - start > most;
            if (!more(tooLong ? firstAt : start))
                break;
        }
    }
    if (firstAt + unit > bytes.size())
        return 0;
    const char16_t c = unitAt(firstAt);
    if (isPadding(c))
        textEnded = true;
    return c == u'\r' || c == u'\n' || isPadding(c) ? 0 : c;
}

bool ExportScanner::startsWith(QLatin1StringView text)
{
    if (firstCharacter() == 0 || tooLong)
        return false;
    const qsizetype needed = qsizetype(text.size()) * unit;
    while (bytes.size() - firstAt < needed && more(start)) {
    }
    if (bytes.size() - firstAt < needed)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (asciiLower(unitAt(firstAt + i * unit)) != asciiLower(char16_t(text.at(i).unicode())))
            return false;
    }
    return true;
}

QString ExportScanner::overlongText(const ExportBounds& bounds)
{
    return RegistryFile::tr("the line is longer than %1 characters, the bound for a line that "
                            "is read")
        .arg(bounds.lineCharacters);
}

Result<QStringView> ExportScanner::overlong() const
{
    return failure(overlongText(bounds));
}

Result<QStringView> ExportScanner::read()
{
    if (tooLong || !findEnd(true))
        return overlong();
    const char* data = bytes.constData() + start;
    qsizetype length = end - start;
    // Padding ends the text within a line as it does where a line starts.
    if (const qsizetype padding = paddingIn(start, end); padding >= 0) {
        length = padding - start;
        textEnded = true;
    }
    switch (used) {
    case Encoding::Utf16LittleEndian: {
        const QStringView view(reinterpret_cast<const char16_t*>(data), length / 2);
        if (view.size() > bounds.lineCharacters)
            return overlong();
        return view;
    }
    case Encoding::Utf8:
        if (isAscii(data, length)) { // most lines: into the buffer kept line after line
            decoded = QLatin1StringView(data, length);
            break;
        }
        if (!QByteArrayView(data, length).isValidUtf8()) {
            trouble = Problem::InvalidUtf8;
            return failure(problem().errorString());
        }
        decoded = QString::fromUtf8(data, length);
        break;
    case Encoding::Windows1252:
        decoded.resize(length);
        for (qsizetype i = 0; i < length; ++i)
            decoded.data()[i] =
                QChar(RegistryValue::fromWindows1252(static_cast<unsigned char>(data[i])));
        break;
    }
    if (decoded.size() > bounds.lineCharacters)
        return overlong();
    return QStringView(decoded);
}

Result<void> ExportScanner::problem() const
{
    switch (trouble) {
    case Problem::None:
        break;
    case Problem::OddUtf16:
        return failure(RegistryFile::tr("the file is not valid UTF-16LE text"));
    case Problem::InvalidUtf8:
        return failure(RegistryFile::tr("the file is not valid UTF-8 text"));
    case Problem::TooLarge:
        return failure(
            RegistryFile::tr("the file holds more than %1 bytes, the bound for an export")
                .arg(bounds.fileBytes));
    }
    return {};
}
