#include "exportvalues.h"

#include "registryvalue.h"

#include <QByteArray>

namespace {
int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// "41,00,42" (blanks allowed around bytes, a trailing comma too) into bytes.
bool parseHexBytes(QStringView list, QByteArray& bytes)
{
    bytes.clear();
    list = list.trimmed();
    if (list.isEmpty())
        return true;
    bytes.reserve(list.size() / 3 + 1);
    qsizetype pos = 0;
    while (pos < list.size()) {
        while (pos < list.size() && list.at(pos).isSpace())
            ++pos;
        int value = 0;
        int digits = 0;
        while (pos < list.size() && hexDigit(list.at(pos)) >= 0 && digits <= 2) {
            value = value * 16 + hexDigit(list.at(pos));
            ++digits;
            ++pos;
        }
        while (pos < list.size() && list.at(pos).isSpace())
            ++pos;
        if (digits == 0 && pos >= list.size() && !bytes.isEmpty())
            return true; // after a trailing comma
        if (digits == 0 || digits > 2)
            return false;
        bytes.append(char(value));
        if (pos >= list.size())
            return true;
        if (list.at(pos) != QLatin1Char(','))
            return false;
        ++pos;
    }
    return true;
}
} // namespace

// Whether a quoted text is open after the given text, when one was open
// before it (a raw line feed inside a value's text).
bool quoteOpenAfter(QStringView text, bool open)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (open && text.at(i) == QLatin1Char('\\'))
            ++i;
        else if (text.at(i) == QLatin1Char('"'))
            open = !open;
    }
    return open;
}

// Drops the trailing blanks and backslash of a wrapped line; false when
// the line does not end with a backslash.
qsizetype continuationAt(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (trimmed.endsWith(QLatin1Char('\\')))
        return line.lastIndexOf(QLatin1Char('\\'));
    if (!trimmed.contains(QLatin1Char(';')))
        return -1; // only a comment may follow the backslash
    const qsizetype backslash = line.lastIndexOf(QLatin1Char('\\'));
    if (backslash < 0)
        return -1;
    const QStringView rest = line.mid(backslash + 1).trimmed();
    return rest.isEmpty() || rest.startsWith(QLatin1Char(';')) ? backslash : -1;
}

bool unwrap(QString& line)
{
    const qsizetype backslash = continuationAt(line);
    if (backslash < 0)
        return false;
    line.truncate(backslash);
    return true;
}

// Reads a quoted text that starts at view[pos] == '"'; pos ends after the closing quote.
Result<void> readQuoted(QStringView view, qsizetype& pos, QString& out)
{
    out.resize(0); // keeps the capacity of a buffer used line after line
    if (out.isNull())
        out = QLatin1String("");
    ++pos;
    qsizetype chunkStart = pos;
    while (pos < view.size()) {
        const QChar c = view.at(pos);
        if (c == QLatin1Char('"')) {
            out += view.mid(chunkStart, pos - chunkStart);
            ++pos;
            return {};
        }
        if (c == QLatin1Char('\\')) {
            if (pos + 1 >= view.size())
                break;
            // As Windows and Wine write them: \\ \" and Wine's \n \r \0.
            static const QString escapes = QStringLiteral("\\\"nr0");
            static const QString meanings = QStringLiteral("\\\"\n\r") + QChar(0);
            const qsizetype kind = escapes.indexOf(view.at(pos + 1));
            if (kind < 0)
                return failure(RegistryFile::tr("a quoted text holds an unknown escape sequence"));
            out += view.mid(chunkStart, pos - chunkStart);
            out += meanings.at(kind);
            pos += 2;
            chunkStart = pos;
            continue;
        }
        ++pos;
    }
    return failure(RegistryFile::tr("a quoted text is not closed"));
}

Result<void> parseValueData(QStringView data, bool regedit4, QString& valueText, bool& remove,
                            bool onlyCheck)
{
    if (data == QLatin1String("-")) {
        remove = true;
        return {};
    }
    if (data.startsWith(QLatin1Char('"'))) {
        qsizetype pos = 0;
        if (Result<void> read = readQuoted(data, pos, valueText); !read.ok())
            return read;
        if (pos != data.size())
            return failure(RegistryFile::tr("text follows the closing quote of a value"));
        // Windows ends a text at its first NUL, as Wine writes one ("\0").
        const qsizetype nul = valueText.indexOf(QChar(0));
        if (nul >= 0)
            valueText.truncate(nul);
        return {};
    }
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QStringView digits = data.mid(6).trimmed();
        bool ok = false;
        const uint number = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8)
            return failure(RegistryFile::tr("a dword value needs one to eight hexadecimal digits"));
        if (!onlyCheck)
            valueText = QString::number(qint32(number));
        return {};
    }
    int type = -1;
    QStringView list;
    if (data.startsWith(QLatin1String("hex:"), Qt::CaseInsensitive)) {
        type = RegistryValue::Binary;
        list = data.mid(4);
    } else if (data.startsWith(QLatin1String("hex("), Qt::CaseInsensitive)) {
        const qsizetype close = data.indexOf(QLatin1String("):"));
        bool ok = false;
        type = close > 4 ? data.mid(4, close - 4).toInt(&ok, 16) : -1;
        if (!ok || type < 0)
            return failure(RegistryFile::tr("a hex(N) value has no valid type number"));
        list = data.mid(close + 2);
    } else {
        return failure(RegistryFile::tr("the value data is not a quoted text, dword or hex"));
    }
    QByteArray bytes;
    if (!parseHexBytes(list, bytes))
        return failure(RegistryFile::tr("a hex value holds something other than bytes"));
    // Data of any size is stored as Windows stores it, a qword of other than
    // eight bytes too; readers then see what the live registry gives them.
    if (onlyCheck)
        return {};
    valueText = QString::fromStdU16String(RegistryValue::text(
        unsigned(type), reinterpret_cast<const unsigned char*>(bytes.constData()),
        size_t(bytes.size()), regedit4));
    if (valueText.isNull())
        valueText = QLatin1String("");
    return {};
}
