#include "registryfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <cstring>

struct RegistryFileStore::Key
{
    struct Value
    {
        QString upperName;
        QString text;
    };

    // A key holds few values: a short list costs far less memory than a hash.
    std::vector<Value>::const_iterator findValueIn(const QString& upper) const
    {
        return std::find_if(values.begin(), values.end(),
                            [&upper](const Value& v) { return v.upperName == upper; });
    }
    const Value* findValue(const QString& valueName) const
    {
        const auto it = findValueIn(valueName.toUpper());
        return it == values.end() ? nullptr : &*it;
    }
    void setValue(const QString& valueName, const QString& text)
    {
        const QString upper = valueName.toUpper();
        const auto it = findValueIn(upper);
        if (it == values.end())
            values.push_back({upper, text});
        else
            values[size_t(it - values.begin())].text = text;
    }
    void removeValue(const QString& valueName)
    {
        const QString upper = valueName.toUpper();
        values.erase(std::remove_if(values.begin(), values.end(),
                                    [&upper](const Value& v) { return v.upperName == upper; }),
                     values.end());
    }

    QString name;
    std::map<QString, std::unique_ptr<Key>> children; // by upper-case name: the registry's order
    std::vector<Value> values;
};

namespace {
// Splits "HIVE\a\b" into its components, the hive in its long form. Empty
// when the hive is unknown or a component is empty.
bool splitPath(QStringView path, QString& hive, QList<QStringView>& components)
{
    components.clear();
    qsizetype start = 0;
    while (true) {
        const qsizetype separator = path.indexOf(QLatin1Char('\\'), start);
        const QStringView part =
            path.mid(start, separator < 0 ? path.size() - start : separator - start);
        if (part.isEmpty())
            return false;
        components.append(part);
        if (separator < 0)
            break;
        start = separator + 1;
    }
    hive = canonicalHiveName(components.first().toString());
    return !hive.isEmpty();
}
} // namespace

RegistryFileStore::RegistryFileStore() : root(std::make_unique<Key>()) {}

RegistryFileStore::~RegistryFileStore() = default;

RegistryFileStore::Key* RegistryFileStore::findKey(QStringView path) const
{
    QString hive;
    QList<QStringView> components;
    if (!splitPath(path, hive, components))
        return nullptr;
    Key* key = root.get();
    for (qsizetype i = 0; i < components.size(); ++i) {
        const QString upper = i == 0 ? hive : components.at(i).toString().toUpper();
        auto it = key->children.find(upper);
        if (it == key->children.end())
            return nullptr;
        key = it->second.get();
    }
    return key;
}

RegistryFileStore::Key* RegistryFileStore::ensureKey(QStringView path)
{
    QString hive;
    QList<QStringView> components;
    if (!splitPath(path, hive, components))
        return nullptr;
    // Reuse the part of the last walked chain that this path shares.
    qsizetype shared = 0;
    while (shared < components.size() && shared < qsizetype(lastChain.size())) {
        const QString& name = lastChain[size_t(shared)]->name;
        const bool same = shared == 0
                              ? name == hive
                              : components.at(shared).compare(name, Qt::CaseInsensitive) == 0;
        if (!same)
            break;
        ++shared;
    }
    lastChain.resize(size_t(shared));
    Key* key = shared == 0 ? root.get() : lastChain.back();
    for (qsizetype i = shared; i < components.size(); ++i) {
        const QString spelled = i == 0 ? hive : components.at(i).toString();
        std::unique_ptr<Key>& child = key->children[spelled.toUpper()];
        if (!child) {
            child = std::make_unique<Key>();
            child->name = spelled;
        }
        key = child.get();
        lastChain.push_back(key);
    }
    return key;
}

QStringList RegistryFileStore::childKeys(const QString& path) const
{
    QStringList names;
    if (const Key* key = findKey(path)) {
        for (const auto& child : key->children)
            names.append(child.second->name);
    }
    return names;
}

bool RegistryFileStore::hasValue(const QString& path, const QString& name) const
{
    const Key* key = findKey(path);
    return key && key->findValue(name);
}

QString RegistryFileStore::value(const QString& path, const QString& name) const
{
    const Key* key = findKey(path);
    const Key::Value* found = key ? key->findValue(name) : nullptr;
    return found ? found->text : QString();
}

bool RegistryFileStore::setValue(const QString& path, const QString& name, const QString& text)
{
    Key* key = ensureKey(path);
    if (!key)
        return false;
    key->setValue(name, text);
    return true;
}

bool RegistryFileStore::removeValue(const QString& path, const QString& name)
{
    Key* key = findKey(path);
    if (key)
        key->removeValue(name);
    return true;
}

bool RegistryFileStore::addKey(const QString& path)
{
    return ensureKey(path) != nullptr;
}

bool RegistryFileStore::removeKey(const QString& path)
{
    QString hive;
    QList<QStringView> components;
    if (!splitPath(path, hive, components))
        return false;
    lastChain.clear();
    const QString last = components.size() == 1 ? hive : components.last().toString().toUpper();
    Key* parent = root.get();
    if (components.size() > 1)
        parent = findKey(QStringView(path).left(path.lastIndexOf(QLatin1Char('\\'))));
    if (parent)
        parent->children.erase(last);
    return true;
}

namespace {
// Translation context of the messages about a rejected export.
struct RegistryFile
{
    Q_DECLARE_TR_FUNCTIONS(RegistryFile)
};

enum class Dialect
{
    Version5,
    Regedit4
};

// Registry value types as regedit writes them in "hex(N):".
enum ValueType : int
{
    RegNone = 0,
    RegSz = 1,
    RegExpandSz = 2,
    RegBinary = 3,
    RegDword = 4,
    RegDwordBigEndian = 5,
    RegMultiSz = 7,
    RegQword = 11,
};

struct ParseFailure
{
    QString message;
};
using Outcome = std::optional<ParseFailure>;

QStringView physicalLine(const QString& text, qsizetype& position)
{
    const qsizetype end = text.indexOf(QLatin1Char('\n'), position);
    const qsizetype stop = end < 0 ? text.size() : end;
    QStringView line = QStringView(text).mid(position, stop - position);
    position = end < 0 ? text.size() + 1 : end + 1;
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line;
}

// Reads a quoted text that starts at view[pos] == '"'; pos ends after the closing quote.
Outcome readQuoted(QStringView view, qsizetype& pos, QString& out)
{
    out = QLatin1String("");
    ++pos;
    qsizetype chunkStart = pos;
    while (pos < view.size()) {
        const QChar c = view.at(pos);
        if (c == QLatin1Char('"')) {
            out += view.mid(chunkStart, pos - chunkStart);
            ++pos;
            return std::nullopt;
        }
        if (c == QLatin1Char('\\')) {
            if (pos + 1 >= view.size())
                break;
            const QChar escaped = view.at(pos + 1);
            if (escaped != QLatin1Char('\\') && escaped != QLatin1Char('"'))
                return ParseFailure{
                    RegistryFile::tr("a quoted text holds an unknown escape sequence")};
            out += view.mid(chunkStart, pos - chunkStart);
            out += escaped;
            pos += 2;
            chunkStart = pos;
            continue;
        }
        ++pos;
    }
    return ParseFailure{RegistryFile::tr("a quoted text is not closed")};
}

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
        while (pos < list.size() && hexDigit(list.at(pos)) >= 0) {
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

class RegistryExportParser
{
public:
    RegistryExportParser(const QString& source, Dialect sourceDialect)
        : text(source), dialect(sourceDialect)
    {
    }

    RegistryFileResult run();

private:
    bool nextLogicalLine(QStringView& line, int& firstLineNumber);
    Outcome parseLine(QStringView line);
    Outcome parseKeyLine(QStringView line);
    Outcome parseValueLine(QStringView line);
    Outcome parseData(QStringView data, QString& valueText, bool& remove) const;

    QString textFromBytes(const QByteArray& bytes, int type) const;
    QString stringFromBytes(const QByteArray& bytes) const;

    const QString& text;
    Dialect dialect;
    qsizetype position = 0;
    int lineNumber = 0;
    QString joined; // a line continued with trailing backslashes

    std::unique_ptr<RegistryFileStore> result = std::make_unique<RegistryFileStore>();
    RegistryFileStore::Key* currentKey = nullptr;
    bool afterDeletedKey = false;
};

bool RegistryExportParser::nextLogicalLine(QStringView& line, int& firstLineNumber)
{
    if (position > text.size())
        return false;
    line = physicalLine(text, position);
    firstLineNumber = ++lineNumber;
    // Long hex values are wrapped with a trailing backslash; a text or key
    // line never ends that way, since it ends with its quote or bracket.
    if (!line.trimmed().endsWith(QLatin1Char('\\')))
        return true;
    joined.clear();
    QStringView part = line.trimmed();
    while (part.endsWith(QLatin1Char('\\')) && position <= text.size()) {
        joined += part.chopped(1);
        ++lineNumber;
        part = physicalLine(text, position).trimmed();
    }
    joined += part;
    line = joined;
    return true;
}

RegistryFileResult RegistryExportParser::run()
{
    QStringView line;
    int number = 0;
    if (text.isEmpty() || !nextLogicalLine(line, number))
        return {nullptr, {0, RegistryFile::tr("the file is empty")}};
    const QStringView header = line.trimmed();
    const bool headerMatches =
        dialect == Dialect::Regedit4
            ? header == QLatin1String("REGEDIT4")
            : header == QLatin1String("Windows Registry Editor Version 5.00");
    if (!headerMatches)
        return {nullptr,
                {1, RegistryFile::tr("the file does not start with a registry export header")}};

    while (nextLogicalLine(line, number)) {
        if (auto failure = parseLine(line))
            return {nullptr, {number, failure->message}};
    }
    result->lastChain.clear();
    return {std::move(result), {}};
}

Outcome RegistryExportParser::parseLine(QStringView rawLine)
{
    const QStringView line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
        return std::nullopt;
    if (line.startsWith(QLatin1Char('[')))
        return parseKeyLine(line);
    if (line.startsWith(QLatin1Char('"')) || line.startsWith(QLatin1Char('@')))
        return parseValueLine(line);
    return ParseFailure{RegistryFile::tr("the line is neither a key, a value nor a comment")};
}

Outcome RegistryExportParser::parseKeyLine(QStringView line)
{
    if (!line.endsWith(QLatin1Char(']')))
        return ParseFailure{RegistryFile::tr("a key name is not closed with \"]\"")};
    QStringView path = line.mid(1, line.size() - 2);
    const bool remove = path.startsWith(QLatin1Char('-'));
    if (remove)
        path = path.mid(1);
    if (path.isEmpty() || path.contains(QChar(0)))
        return ParseFailure{RegistryFile::tr("the key name is empty or not valid")};
    const QString unknownHive = RegistryFile::tr("the key name does not start with a known hive");
    if (remove) {
        if (!result->removeKey(path.toString()))
            return ParseFailure{unknownHive};
        currentKey = nullptr;
        afterDeletedKey = true;
        return std::nullopt;
    }
    currentKey = result->ensureKey(path);
    if (!currentKey)
        return ParseFailure{unknownHive};
    afterDeletedKey = false;
    return std::nullopt;
}

Outcome RegistryExportParser::parseValueLine(QStringView line)
{
    QString name;
    qsizetype pos = 0;
    if (line.startsWith(QLatin1Char('@'))) {
        pos = 1;
    } else if (auto failure = readQuoted(line, pos, name)) {
        return failure;
    }
    while (pos < line.size() && line.at(pos).isSpace())
        ++pos;
    if (pos >= line.size() || line.at(pos) != QLatin1Char('='))
        return ParseFailure{RegistryFile::tr("a value name is not followed by \"=\"")};

    QString valueText;
    bool remove = false;
    if (auto failure = parseData(line.mid(pos + 1).trimmed(), valueText, remove))
        return failure;
    if (!currentKey) {
        if (!afterDeletedKey)
            return ParseFailure{RegistryFile::tr("a value stands before the first key")};
        return std::nullopt; // values under a deleted key are ignored, as regedit does
    }
    if (remove)
        currentKey->removeValue(name);
    else
        currentKey->setValue(name, valueText);
    return std::nullopt;
}

Outcome RegistryExportParser::parseData(QStringView data, QString& valueText, bool& remove) const
{
    if (data == QLatin1String("-")) {
        remove = true;
        return std::nullopt;
    }
    if (data.startsWith(QLatin1Char('"'))) {
        qsizetype pos = 0;
        if (auto failure = readQuoted(data, pos, valueText))
            return failure;
        if (pos != data.size())
            return ParseFailure{RegistryFile::tr("text follows the closing quote of a value")};
        return std::nullopt;
    }
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QStringView digits = data.mid(6).trimmed();
        bool ok = false;
        const uint number = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8)
            return ParseFailure{
                RegistryFile::tr("a dword value needs one to eight hexadecimal digits")};
        valueText = QString::number(qint32(number));
        return std::nullopt;
    }
    int type = -1;
    QStringView list;
    if (data.startsWith(QLatin1String("hex:"), Qt::CaseInsensitive)) {
        type = RegBinary;
        list = data.mid(4);
    } else if (data.startsWith(QLatin1String("hex("), Qt::CaseInsensitive)) {
        const qsizetype close = data.indexOf(QLatin1String("):"));
        bool ok = false;
        type = close > 4 ? data.mid(4, close - 4).toInt(&ok, 16) : -1;
        if (!ok || type < 0)
            return ParseFailure{RegistryFile::tr("a hex(N) value has no valid type number")};
        list = data.mid(close + 2);
    } else {
        return ParseFailure{RegistryFile::tr("the value data is not a quoted text, dword or hex")};
    }
    QByteArray bytes;
    if (!parseHexBytes(list, bytes))
        return ParseFailure{RegistryFile::tr("a hex value holds something other than bytes")};
    if ((type == RegDword || type == RegDwordBigEndian) && bytes.size() != 4)
        return ParseFailure{RegistryFile::tr("a dword value needs exactly four bytes")};
    if (type == RegQword && bytes.size() != 8)
        return ParseFailure{RegistryFile::tr("a qword value needs exactly eight bytes")};
    valueText = textFromBytes(bytes, type);
    return std::nullopt;
}

// Text up to the first NUL: UTF-16LE in a version 5 export, 8-bit in REGEDIT4.
QString RegistryExportParser::stringFromBytes(const QByteArray& bytes) const
{
    QString decoded;
    if (dialect == Dialect::Regedit4) {
        decoded = QString::fromLatin1(bytes);
    } else {
        decoded.resize(bytes.size() / 2);
        for (qsizetype i = 0; i < decoded.size(); ++i)
            decoded[i] = QChar(ushort(quint8(bytes[2 * i]) | (quint8(bytes[2 * i + 1]) << 8)));
    }
    const qsizetype nul = decoded.indexOf(QChar(0));
    if (nul >= 0)
        decoded.truncate(nul);
    if (decoded.isNull())
        decoded = QLatin1String("");
    return decoded;
}

// As QSettings on Windows hands values to QVariant::toString(): numbers as signed
// decimal text, a multi-string only when it holds exactly one string, and every
// other type as its bytes taken as text.
QString RegistryExportParser::textFromBytes(const QByteArray& bytes, int type) const
{
    switch (type) {
    case RegDword:
    case RegDwordBigEndian: {
        qint32 number;
        std::memcpy(&number, bytes.constData(), sizeof number);
        return QString::number(qFromLittleEndian(number));
    }
    case RegQword: {
        qint64 number;
        std::memcpy(&number, bytes.constData(), sizeof number);
        return QString::number(qFromLittleEndian(number));
    }
    case RegMultiSz: {
        const int unit = dialect == Dialect::Regedit4 ? 1 : 2;
        QStringList strings;
        qsizetype start = 0;
        for (qsizetype i = 0; i + unit <= bytes.size(); i += unit) {
            const bool nul = unit == 1 ? bytes[i] == 0 : (bytes[i] == 0 && bytes[i + 1] == 0);
            if (!nul)
                continue;
            if (i == start)
                break; // the empty string that ends the list
            strings.append(stringFromBytes(bytes.mid(start, i - start)));
            start = i + unit;
        }
        return strings.size() == 1 ? strings.first() : QLatin1String("");
    }
    default:
        return stringFromBytes(bytes);
    }
}

namespace {
std::optional<QString> decodeExport(const QByteArray& bytes, Dialect& dialect)
{
    dialect = Dialect::Version5;
    if (bytes.startsWith("\xff\xfe")) {
        if (bytes.size() % 2 != 0)
            return std::nullopt;
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        QString text = decoder(bytes.mid(2));
        return decoder.hasError() ? std::nullopt : std::optional<QString>(text);
    }
    QByteArray body = bytes;
    if (body.startsWith("\xef\xbb\xbf"))
        body.remove(0, 3);
    else if (body.startsWith("REGEDIT4")) {
        dialect = Dialect::Regedit4;
        return QString::fromLatin1(body);
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(body);
    return decoder.hasError() ? std::nullopt : std::optional<QString>(text);
}
} // namespace

RegistryFileResult parseRegistryExport(const QByteArray& bytes)
{
    Dialect dialect;
    const std::optional<QString> text = decodeExport(bytes, dialect);
    if (!text)
        return {nullptr, {0, RegistryFile::tr("the file is not valid UTF-16LE or UTF-8 text")}};
    RegistryExportParser parser(*text, dialect);
    return parser.run();
}

RegistryFileResult loadRegistryExport(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {nullptr,
                {0, RegistryFile::tr("the file cannot be opened: %1").arg(file.errorString())}};
    return parseRegistryExport(file.readAll());
}

QString registryFileErrorText(const QString& fileName, const RegistryFileError& error)
{
    if (error.line > 0)
        return RegistryFile::tr("The registry export %1 cannot be read: line %2: %3.")
            .arg(fileName, QString::number(error.line), error.message);
    return RegistryFile::tr("The registry export %1 cannot be read: %2.")
        .arg(fileName, error.message);
}
