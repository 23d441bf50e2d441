#include "jsoninput.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <string_view>

namespace {
// The length of the JSON number at the start of text, or 0 when the text there
// is no number by JSON's grammar (leading zeros, "10.", "-.5", "1e" ...).
qsizetype jsonNumberLength(QByteArrayView text)
{
    qsizetype i = 0;
    const auto digitAt = [&text](qsizetype at) {
        return at < text.size() && text[at] >= '0' && text[at] <= '9';
    };
    const auto digits = [&](qsizetype at) {
        while (digitAt(at))
            ++at;
        return at;
    };
    if (i < text.size() && text[i] == '-')
        ++i;
    if (!digitAt(i))
        return 0;
    i = text[i] == '0' ? i + 1 : digits(i);
    if (i < text.size() && text[i] == '.') {
        if (!digitAt(i + 1))
            return 0;
        i = digits(i + 1);
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (!digitAt(i))
            return 0;
        i = digits(i);
    }
    const bool ends = i == text.size() || !std::strchr("0123456789.eE+-", text[i]);
    return ends ? i : 0;
}

// The decimal exponent of a JSON number's first significant digit, saturated:
// positive for magnitudes of one and above, so it tells an overflow from an
// underflow.
long long magnitudeOf(std::string_view text)
{
    const size_t exponentAt = text.find_first_of("eE");
    const std::string_view mantissa = text.substr(0, exponentAt);
    long long exponent = 0;
    if (exponentAt != std::string_view::npos) {
        std::string_view digits = text.substr(exponentAt + 1);
        const bool negative = !digits.empty() && digits.front() == '-';
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
            digits.remove_prefix(1);
        for (const char digit : digits)
            exponent = std::min<long long>(exponent * 10 + (digit - '0'), 1LL << 40);
        if (negative)
            exponent = -exponent;
    }
    const size_t point = mantissa.find('.');
    const std::string_view integer = mantissa.substr(0, point);
    const size_t firstNonZero = integer.find_first_not_of("-0");
    if (firstNonZero != std::string_view::npos)
        return exponent + static_cast<long long>(integer.size() - firstNonZero);
    if (point == std::string_view::npos)
        return std::numeric_limits<long long>::min();
    const size_t firstFraction = mantissa.find_first_not_of('0', point + 1);
    if (firstFraction == std::string_view::npos)
        return std::numeric_limits<long long>::min();
    return exponent - static_cast<long long>(firstFraction - point - 1);
}

double jsonNumber(std::string_view text)
{
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc::result_out_of_range)
        return value;
    const double magnitude = magnitudeOf(text) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return text.front() == '-' ? -magnitude : magnitude;
}

bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xd800 && unit <= 0xdbff;
}

bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xdc00 && unit <= 0xdfff;
}

// What a lone surrogate escape reaches the reader as: U+10FFFF.
constexpr char maxCodePointEscape[] = "\\uDBFF\\uDFFF";
constexpr char maxCodePointUtf8[] = "\xF4\x8F\xBF\xBF";
} // namespace

ListEncoding detectListEncoding(const QByteArray& bytes)
{
    if (!bytes.isValidUtf8())
        return {true, 0};
    return {false, bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0};
}

QString decodeListText(const QByteArray& bytes)
{
    const ListEncoding encoding = detectListEncoding(bytes);
    return encoding.latin1 ? QString::fromLatin1(bytes)
                           : QString::fromUtf8(bytes.constData() + encoding.start,
                                               bytes.size() - encoding.start);
}

QString jsonNumberText(QByteArrayView text)
{
    return QString::number(jsonNumber(std::string_view(text.data(), size_t(text.size()))), 'g', 15);
}

JsonInput::JsonInput(const QByteArray& bytes, const ListEncoding& encoding)
    : JsonInput(bytes, encoding.latin1, encoding.start)
{
}

JsonInput::JsonInput(const QByteArray& bytes, bool fromLatin1, qsizetype start)
    : data(bytes.constData()), size(bytes.size()), latin1(fromLatin1), position(start)
{
    prepareNumber();
}

JsonInput::Ch JsonInput::Peek() const
{
    if (broken)
        return '\0';
    if (standIn)
        return '0';
    if (pendingLeft())
        return pending[size_t(pendingAt)];
    if (position == size)
        return '\0';
    const auto byte = static_cast<unsigned char>(data[position]);
    if (byte < 0x80 || !latin1)
        return char(byte);
    return char(0xc0 | (byte >> 6));
}

JsonInput::Ch JsonInput::Take()
{
    if (broken)
        return '\0';
    if (standIn) {
        standIn = false;
        prepareNumber();
        return '0';
    }
    if (pendingLeft())
        return pending[size_t(pendingAt++)];
    if (position == size)
        return '\0';
    const auto byte = static_cast<unsigned char>(data[position]);
    if (byte >= 0x80) { // only valid inside a text: no number follows
        if (latin1) {
            const char second = char(0x80 | (byte & 0x3f));
            setPending(&second, 1);
            ++position;
            return char(0xc0 | (byte >> 6));
        }
        if (inString &&
            QByteArrayView(data + position, size - position).startsWith(maxCodePointUtf8))
            maxCodePoints.push_back(std::nullopt);
        ++position;
        return char(byte);
    }
    if (escaped) {
        escaped = false;
    } else if (byte == '\\' && inString) {
        takeEscape();
        return '\\';
    } else if (byte == '"') {
        inString = !inString;
    }
    ++position;
    if (!inString)
        prepareNumber();
    return char(byte);
}

// At a backslash inside a string: a surrogate pair passes whole, a lone
// surrogate is handed out as U+10FFFF and noted, anything else as it is.
void JsonInput::takeEscape()
{
    const std::optional<char16_t> unit = escapedUnitAt(position);
    if (!unit || (!isHighSurrogate(*unit) && !isLowSurrogate(*unit))) {
        escaped = true;
        ++position;
        return;
    }
    const std::optional<char16_t> next = escapedUnitAt(position + 6);
    if (isHighSurrogate(*unit) && next && isLowSurrogate(*next)) {
        if (*unit == 0xdbff && *next == 0xdfff)
            maxCodePoints.push_back(std::nullopt);
        setPending(data + position + 1, 11);
        position += 12;
        return;
    }
    maxCodePoints.push_back(*unit);
    setPending(maxCodePointEscape + 1, 11);
    position += 6;
}

std::optional<char16_t> JsonInput::escapedUnitAt(qsizetype at) const
{
    if (size - at < 6 || data[at] != '\\' || data[at + 1] != 'u')
        return std::nullopt;
    unsigned unit = 0;
    const auto [end, error] = std::from_chars(data + at + 2, data + at + 6, unit, 16);
    if (error != std::errc() || end != data + at + 6)
        return std::nullopt;
    return char16_t(unit);
}

void JsonInput::setPending(const char* text, int length)
{
    std::memcpy(pending.data(), text, size_t(length));
    pendingAt = 0;
    pendingSize = length;
}

std::optional<QByteArrayView> JsonInput::takeNumber()
{
    if (numbers.empty())
        return std::nullopt;
    const auto [start, length] = numbers.front();
    numbers.pop_front();
    return QByteArrayView(data + start, length);
}

QString JsonInput::takeText(const char* text, qsizetype length)
{
    QString decoded = QString::fromUtf8(text, length);
    if (maxCodePoints.empty())
        return decoded;
    for (qsizetype i = 0; i + 1 < decoded.size() && !maxCodePoints.empty(); ++i) {
        if (decoded[i].unicode() != 0xdbff || decoded[i + 1].unicode() != 0xdfff)
            continue;
        const std::optional<char16_t> lone = maxCodePoints.front();
        maxCodePoints.pop_front();
        if (lone)
            decoded.replace(i, 2, QChar(*lone));
        else
            ++i;
    }
    maxCodePoints.clear();
    return decoded;
}

void JsonInput::prepareNumber()
{
    if (inString || position == size)
        return;
    const char c = data[position];
    if (c != '-' && (c < '0' || c > '9'))
        return;
    const qsizetype length = jsonNumberLength(QByteArrayView(data + position, size - position));
    if (length == 0) {
        broken = true;
        return;
    }
    numbers.push_back({position, length});
    position += length;
    standIn = true;
}
