#include "jsonwriter.h"

namespace {
char hexDigit(uint digit)
{
    return char(digit < 10 ? '0' + digit : 'a' + digit - 10);
}
} // namespace

void JsonWriter::appendEscaped(QByteArray& out, const QString& text)
{
    const QChar* it = text.constBegin();
    const QChar* const end = text.constEnd();
    while (it != end) {
        // Most texts are plain ASCII: a run of it is copied at once.
        const QChar* plain = it;
        while (plain != end && plain->unicode() >= 0x20 && plain->unicode() < 0x80 &&
               plain->unicode() != '"' && plain->unicode() != '\\')
            ++plain;
        if (plain != it) {
            const qsizetype at = out.size();
            out.resize(at + (plain - it));
            for (char* to = out.data() + at; it != plain; ++it)
                *to++ = char(it->unicode());
            continue;
        }
        const char16_t u = it->unicode();
        ++it;
        if (u < 0x80) {
            out += '\\';
            switch (u) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '\b':
                out += 'b';
                break;
            case '\f':
                out += 'f';
                break;
            case '\n':
                out += 'n';
                break;
            case '\r':
                out += 'r';
                break;
            case '\t':
                out += 't';
                break;
            default:
                out += "u00";
                out += hexDigit(u >> 4);
                out += hexDigit(u & 0xf);
            }
        } else if (QChar::isHighSurrogate(u) && it != end && it->isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(u, it->unicode());
            ++it;
            out += char(0xf0 | (code >> 18));
            out += char(0x80 | ((code >> 12) & 0x3f));
            out += char(0x80 | ((code >> 6) & 0x3f));
            out += char(0x80 | (code & 0x3f));
        } else if (QChar::isSurrogate(u)) {
            out += "\\ufffd";
        } else if (u < 0x800) {
            out += char(0xc0 | (u >> 6));
            out += char(0x80 | (u & 0x3f));
        } else {
            out += char(0xe0 | (u >> 12));
            out += char(0x80 | ((u >> 6) & 0x3f));
            out += char(0x80 | (u & 0x3f));
        }
    }
}

void JsonWriter::beforeValue()
{
    if (afterKey) {
        afterKey = false;
        return;
    }
    if (levels.empty())
        return;
    Level& level = levels.back();
    if (level.members++ > 0)
        out += compact ? "," : ",\n";
    if (!compact)
        out += QByteArray(4 * qsizetype(levels.size()), ' ');
}

JsonWriter& JsonWriter::key(const char* name)
{
    beforeValue();
    out += '"';
    out += name;
    out += compact ? "\":" : "\": ";
    afterKey = true;
    return *this;
}

void JsonWriter::open(char bracket)
{
    beforeValue();
    out += bracket;
    if (!compact)
        out += '\n';
    levels.push_back({});
}

void JsonWriter::close(char bracket)
{
    const bool empty = levels.back().members == 0;
    levels.pop_back();
    if (!compact) {
        if (!empty)
            out += '\n';
        out += QByteArray(4 * qsizetype(levels.size()), ' ');
    }
    out += bracket;
    if (!compact && levels.empty())
        out += '\n';
}

void JsonWriter::beginObject()
{
    open('{');
}

void JsonWriter::endObject()
{
    close('}');
}

void JsonWriter::beginArray()
{
    open('[');
}

void JsonWriter::endArray()
{
    close(']');
}

void JsonWriter::value(const QString& text)
{
    beforeValue();
    out += '"';
    appendEscaped(out, text);
    out += '"';
}

void JsonWriter::value(qint64 number)
{
    beforeValue();
    out += QByteArray::number(number);
}

void JsonWriter::value(bool flag)
{
    beforeValue();
    out += flag ? "true" : "false";
}

void JsonWriter::value(const std::optional<qint64>& number)
{
    if (number)
        value(*number);
    else
        null();
}

void JsonWriter::null()
{
    beforeValue();
    out += "null";
}
