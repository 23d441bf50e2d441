#include "registryvalue.h"

#include <cstdint>
#include <vector>

namespace RegistryValue {
namespace {
std::u16string decimal(long long number)
{
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

long long littleEndian(const unsigned char* bytes, std::size_t size)
{
    unsigned long long value = 0;
    for (std::size_t i = size; i > 0; --i)
        value = (value << 8) | bytes[i - 1];
    return size == 4 ? static_cast<long long>(static_cast<std::int32_t>(value))
                     : static_cast<long long>(value);
}

// Text up to the first NUL, in units of one byte (8-bit text) or two (UTF-16LE).
std::u16string textUpToNul(const unsigned char* bytes, std::size_t size, bool eightBit)
{
    std::u16string result;
    const std::size_t unit = eightBit ? 1 : 2;
    for (std::size_t i = 0; i + unit <= size; i += unit) {
        const char16_t c =
            eightBit ? fromWindows1252(bytes[i]) : char16_t(bytes[i] | (bytes[i + 1] << 8));
        if (c == 0)
            break;
        result += c;
    }
    return result;
}
} // namespace

char16_t fromWindows1252(unsigned char byte)
{
    static const char16_t high[32] = {
        0x20ac, 0x81,   0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x8d,   0x017d, 0x8f,   0x90,   0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
        0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x9d,   0x017e, 0x0178};
    return byte >= 0x80 && byte <= 0x9f ? high[byte - 0x80] : char16_t(byte);
}

std::u16string text(unsigned long type, const unsigned char* bytes, std::size_t size,
                    bool eightBitText)
{
    switch (type) {
    case Dword:
    case DwordBigEndian:
        return size == 4 ? decimal(littleEndian(bytes, 4)) : std::u16string();
    case Qword:
        return size == 8 ? decimal(littleEndian(bytes, 8)) : std::u16string();
    case String:
    case ExpandString:
        return textUpToNul(bytes, size, eightBitText);
    case MultiString: {
        const std::size_t unit = eightBitText ? 1 : 2;
        std::vector<std::u16string> strings;
        std::size_t start = 0;
        bool ended = false;
        for (std::size_t i = 0; i + unit <= size && !ended; i += unit) {
            const bool nul = bytes[i] == 0 && (unit == 1 || bytes[i + 1] == 0);
            if (!nul)
                continue;
            ended = i == start; // the empty string that ends the list
            if (!ended)
                strings.push_back(textUpToNul(bytes + start, i - start, eightBitText));
            start = i + unit;
        }
        // Data without its closing NULs still holds its last string.
        if (!ended && start + unit <= size)
            strings.push_back(textUpToNul(bytes + start, size - start, eightBitText));
        return strings.size() == 1 ? strings.front() : std::u16string();
    }
    default:
        return textUpToNul(bytes, size, false);
    }
}

} // namespace RegistryValue
