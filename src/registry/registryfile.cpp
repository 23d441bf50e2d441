#include "registryfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>
#include <QtEndian>

#include <cstring>

struct RegistryFileStore::Key
{
    QString name;
    std::map<QString, std::unique_ptr<Key>> children; // by upper-case name: the registry's order
    QHash<QString, QString> values;                   // by upper-case name
};

namespace {
QStringList pathComponents(const QString& path)
{
    QStringList parts = path.split(QLatin1Char('\\'), Qt::KeepEmptyParts);
    if (parts.isEmpty())
        return parts;
    parts[0] = canonicalHiveName(parts.at(0));
    if (parts.at(0).isEmpty())
        return {};
    for (const QString& part : parts) {
        if (part.isEmpty())
            return {};
    }
    return parts;
}
} // namespace

RegistryFileStore::RegistryFileStore() : root(std::make_unique<Key>()) {}

RegistryFileStore::~RegistryFileStore() = default;

RegistryFileStore::Key* RegistryFileStore::findKey(const QString& path) const
{
    const QStringList parts = pathComponents(path);
    if (parts.isEmpty())
        return nullptr;
    Key* key = root.get();
    for (const QString& part : parts) {
        auto it = key->children.find(part.toUpper());
        if (it == key->children.end())
            return nullptr;
        key = it->second.get();
    }
    return key;
}

RegistryFileStore::Key* RegistryFileStore::ensureKey(const QString& path)
{
    const QStringList parts = pathComponents(path);
    if (parts.isEmpty())
        return nullptr;
    Key* key = root.get();
    for (const QString& part : parts) {
        std::unique_ptr<Key>& child = key->children[part.toUpper()];
        if (!child) {
            child = std::make_unique<Key>();
            child->name = part;
        }
        key = child.get();
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
    return key && key->values.contains(name.toUpper());
}

QString RegistryFileStore::value(const QString& path, const QString& name) const
{
    const Key* key = findKey(path);
    return key ? key->values.value(name.toUpper()) : QString();
}

bool RegistryFileStore::setValue(const QString& path, const QString& name, const QString& text)
{
    Key* key = ensureKey(path);
    if (!key)
        return false;
    key->values.insert(name.toUpper(), text);
    return true;
}

bool RegistryFileStore::removeValue(const QString& path, const QString& name)
{
    Key* key = findKey(path);
    if (key)
        key->values.remove(name.toUpper());
    return true;
}

bool RegistryFileStore::addKey(const QString& path)
{
    return ensureKey(path) != nullptr;
}

bool RegistryFileStore::removeKey(const QString& path)
{
    QStringList parts = pathComponents(path);
    if (parts.isEmpty())
        return false;
    const QString last = parts.takeLast().toUpper();
    if (parts.isEmpty())
        return true; // a whole hive: nothing of ours lives above it
    if (Key* parent = findKey(parts.join(QLatin1Char('\\'))))
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

class ExportParser
{
public:
    ExportParser(const QString& text, Dialect dialect) : text(text), dialect(dialect) {}

    RegistryFileResult run();

private:
    bool nextLogicalLine(QString& line, int& firstLineNumber);
    std::optional<ParseFailure> parseLine(const QString& line);
    std::optional<ParseFailure> parseKeyLine(const QString& line);
    std::optional<ParseFailure> parseValueLine(const QString& line);
    std::optional<ParseFailure> parseData(const QString& data, QString& valueText, bool& remove);

    QString textFromBytes(const QByteArray& bytes, int type) const;
    QString stringFromBytes(const QByteArray& bytes) const;

    const QString& text;
    Dialect dialect;
    qsizetype position = 0;
    int lineNumber = 0;

    std::unique_ptr<RegistryFileStore> result = std::make_unique<RegistryFileStore>();
    QString currentKey;
    bool insideKey = false;
    bool afterDeletedKey = false;
};

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

bool ExportParser::nextLogicalLine(QString& line, int& firstLineNumber)
{
    if (position > text.size())
        return false;
    line = physicalLine(text, position).toString();
    firstLineNumber = ++lineNumber;
    // Long hex values are wrapped with a trailing backslash; a string or key
    // line never ends that way, since it ends with its quote or bracket.
    while (line.trimmed().endsWith(QLatin1Char('\\')) && position <= text.size()) {
        line = line.trimmed();
        line.chop(1);
        ++lineNumber;
        line += physicalLine(text, position).trimmed();
    }
    return true;
}

RegistryFileResult ExportParser::run()
{
    QString line;
    int number = 0;
    if (text.isEmpty() || !nextLogicalLine(line, number))
        return {nullptr, {0, RegistryFile::tr("the file is empty")}};
    const QString header = line.trimmed();
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
    return {std::move(result), {}};
}

std::optional<ParseFailure> ExportParser::parseLine(const QString& rawLine)
{
    const QString line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
        return std::nullopt;
    if (line.startsWith(QLatin1Char('[')))
        return parseKeyLine(line);
    if (line.startsWith(QLatin1Char('"')) || line.startsWith(QLatin1Char('@')))
        return parseValueLine(line);
    return ParseFailure{RegistryFile::tr("the line is neither a key, a value nor a comment")};
}

std::optional<ParseFailure> ExportParser::parseKeyLine(const QString& line)
{
    if (!line.endsWith(QLatin1Char(']')))
        return ParseFailure{RegistryFile::tr("a key name is not closed with \"]\"")};
    QString path = line.mid(1, line.size() - 2);
    const bool remove = path.startsWith(QLatin1Char('-'));
    if (remove)
        path.remove(0, 1);
    if (path.isEmpty() || path.contains(QChar(0)))
        return ParseFailure{RegistryFile::tr("the key name is empty or not valid")};
    if (remove) {
        if (!result->removeKey(path))
            return ParseFailure{RegistryFile::tr("the key name does not start with a known hive")};
        insideKey = false;
        afterDeletedKey = true;
        currentKey.clear();
        return std::nullopt;
    }
    if (!result->addKey(path))
        return ParseFailure{RegistryFile::tr("the key name does not start with a known hive")};
    currentKey = path;
    insideKey = true;
    afterDeletedKey = false;
    return std::nullopt;
}

// Reads a quoted string starting at text[pos] == '"'; pos ends after the closing quote.
std::optional<ParseFailure> readQuoted(const QString& text, qsizetype& pos, QString& out)
{
    out.clear();
    ++pos;
    while (pos < text.size()) {
        const QChar c = text.at(pos);
        if (c == QLatin1Char('"')) {
            ++pos;
            return std::nullopt;
        }
        if (c == QLatin1Char('\\')) {
            if (pos + 1 >= text.size())
                break;
            const QChar escaped = text.at(pos + 1);
            if (escaped != QLatin1Char('\\') && escaped != QLatin1Char('"'))
                return ParseFailure{
                    RegistryFile::tr("a quoted text holds an unknown escape sequence")};
            out.append(escaped);
            pos += 2;
            continue;
        }
        out.append(c);
        ++pos;
    }
    return ParseFailure{RegistryFile::tr("a quoted text is not closed")};
}

std::optional<ParseFailure> ExportParser::parseValueLine(const QString& line)
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
    const QString data = line.mid(pos + 1).trimmed();

    QString valueText;
    bool remove = false;
    if (auto failure = parseData(data, valueText, remove))
        return failure;
    if (!insideKey) {
        if (!afterDeletedKey)
            return ParseFailure{RegistryFile::tr("a value stands before the first key")};
        return std::nullopt; // values under a deleted key are ignored, as regedit does
    }
    if (remove)
        result->removeValue(currentKey, name);
    else
        result->setValue(currentKey, name, valueText);
    return std::nullopt;
}

bool parseHexBytes(const QString& list, QByteArray& bytes)
{
    bytes.clear();
    const QString trimmed = list.trimmed();
    if (trimmed.isEmpty())
        return true;
    bytes.reserve(trimmed.size() / 3 + 1);
    const QStringList parts = trimmed.split(QLatin1Char(','));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString part = parts.at(i).trimmed();
        if (part.isEmpty() && i == parts.size() - 1)
            break; // a trailing comma
        bool ok = false;
        const uint byte = part.toUInt(&ok, 16);
        if (!ok || part.size() > 2 || byte > 0xff)
            return false;
        bytes.append(char(byte));
    }
    return true;
}

std::optional<ParseFailure> ExportParser::parseData(const QString& data, QString& valueText,
                                                    bool& remove)
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
        if (valueText.isNull())
            valueText = QLatin1String("");
        return std::nullopt;
    }
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QString digits = data.mid(6).trimmed();
        bool ok = false;
        const uint number = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8)
            return ParseFailure{
                RegistryFile::tr("a dword value needs one to eight hexadecimal digits")};
        valueText = QString::number(qint32(number));
        return std::nullopt;
    }
    int type = -1;
    QString list;
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
QString ExportParser::stringFromBytes(const QByteArray& bytes) const
{
    QString result;
    if (dialect == Dialect::Regedit4) {
        result = QString::fromLatin1(bytes);
    } else {
        result.resize(bytes.size() / 2);
        for (qsizetype i = 0; i < result.size(); ++i)
            result[i] = QChar(ushort(quint8(bytes[2 * i]) | (quint8(bytes[2 * i + 1]) << 8)));
    }
    const qsizetype nul = result.indexOf(QChar(0));
    if (nul >= 0)
        result.truncate(nul);
    if (result.isNull())
        result = QLatin1String("");
    return result;
}

// As QSettings on Windows hands values to QVariant::toString(): numbers as signed
// decimal text, a multi-string only when it holds exactly one string, and every
// other type as its bytes taken as text.
QString ExportParser::textFromBytes(const QByteArray& bytes, int type) const
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
    ExportParser parser(*text, dialect);
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
            .arg(fileName)
            .arg(error.line)
            .arg(error.message);
    return RegistryFile::tr("The registry export %1 cannot be read: %2.")
        .arg(fileName, error.message);
}
