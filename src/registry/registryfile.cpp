#include "registryfile.h"

#include "core/localfile.h"

#include "exportlines.h"
#include "registryvalue.h"

#include "app/logger.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cstring>

namespace {
// How Windows tells key and value names apart: by simple upper-case mapping,
// one code point at a time (no "SS" for "ß"), whatever the order of sections.
QString identity(QStringView name)
{
    QString upper(name.size(), Qt::Uninitialized);
    QChar* out = upper.data();
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            const char32_t u = QChar::toUpper(QChar::surrogateToUcs4(c, name.at(i + 1)));
            *out++ = QChar(QChar::highSurrogate(u));
            *out++ = QChar(QChar::lowSurrogate(u));
            ++i;
        } else {
            *out++ = QChar(char16_t(QChar::toUpper(char32_t(c.unicode()))));
        }
    }
    return upper;
}
} // namespace

struct RegistryFileStore::Key
{
    struct Value
    {
        QString upperName;
        QString name; // as spelled
        QString text;
    };

    // Most keys hold a few values, kept in a short list; a key with many gets
    // an index, so that reading it stays linear.
    const Value* findValue(const QString& upper) const
    {
        if (!index.isEmpty()) {
            const auto it = index.constFind(upper);
            return it == index.constEnd() ? nullptr : &values[size_t(*it)];
        }
        const auto it = std::find_if(values.begin(), values.end(),
                                     [&upper](const Value& v) { return v.upperName == upper; });
        return it == values.end() ? nullptr : &*it;
    }
    void setValue(const QString& valueName, const QString& text)
    {
        const QString upper = identity(valueName);
        if (const Value* found = findValue(upper)) {
            const_cast<Value*>(found)->text = text;
            return;
        }
        values.push_back({upper, valueName, text});
        if (!index.isEmpty() || values.size() > indexedFrom) {
            if (index.isEmpty()) {
                for (size_t i = 0; i < values.size(); ++i)
                    index.insert(values[i].upperName, qsizetype(i));
            } else {
                index.insert(upper, qsizetype(values.size() - 1));
            }
        }
    }
    void removeValue(const QString& valueName)
    {
        const QString upper = identity(valueName);
        values.erase(std::remove_if(values.begin(), values.end(),
                                    [&upper](const Value& v) { return v.upperName == upper; }),
                     values.end());
        index.clear();
        if (values.size() > indexedFrom) {
            for (size_t i = 0; i < values.size(); ++i)
                index.insert(values[i].upperName, qsizetype(i));
        }
    }

    static constexpr size_t indexedFrom = 16;
    QString name;
    std::map<QString, std::unique_ptr<Key>> children; // by identity: the registry's order
    std::vector<Value> values;
    QHash<QString, qsizetype> index;
};

// Frees a key tree of any depth without recursion.
void RegistryFileStore::freeTree(std::unique_ptr<Key> top)
{
    std::vector<std::unique_ptr<Key>> pending;
    pending.push_back(std::move(top));
    while (!pending.empty()) {
        std::unique_ptr<Key> key = std::move(pending.back());
        pending.pop_back();
        if (!key)
            continue;
        for (auto& child : key->children)
            pending.push_back(std::move(child.second));
    }
}

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

RegistryFileStore::~RegistryFileStore()
{
    freeTree(std::move(root));
}

RegistryFileStore::Key* RegistryFileStore::findKey(QStringView path) const
{
    QString hive;
    QList<QStringView> components;
    if (!splitPath(path, hive, components))
        return nullptr;
    Key* key = root.get();
    for (qsizetype i = 0; i < components.size(); ++i) {
        const QString upper = i == 0 ? hive : identity(components.at(i));
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
        const bool same =
            shared == 0 ? name == hive : identity(components.at(shared)) == identity(name);
        if (!same)
            break;
        ++shared;
    }
    lastChain.resize(size_t(shared));
    Key* key = shared == 0 ? root.get() : lastChain.back();
    for (qsizetype i = shared; i < components.size(); ++i) {
        const QString spelled = i == 0 ? hive : components.at(i).toString();
        std::unique_ptr<Key>& child = key->children[identity(spelled)];
        if (!child) {
            child = std::make_unique<Key>();
            child->name = spelled;
        }
        key = child.get();
        lastChain.push_back(key);
    }
    return key;
}

void RegistryFileStore::takeKeysOf(RegistryFileStore& other)
{
    lastChain.clear();
    std::vector<std::pair<Key*, Key*>> pending{{root.get(), other.root.get()}};
    while (!pending.empty()) {
        const auto [into, from] = pending.back();
        pending.pop_back();
        for (auto& [identity, child] : from->children) {
            std::unique_ptr<Key>& here = into->children[identity];
            if (!here) {
                here = std::move(child);
                continue;
            }
            for (const Key::Value& value : child->values)
                here->setValue(value.name, value.text);
            pending.push_back({here.get(), child.get()});
        }
    }
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
    return key && key->findValue(identity(name));
}

QStringList RegistryFileStore::valueNames(const QString& path) const
{
    QStringList names;
    if (const Key* key = findKey(path)) {
        for (const Key::Value& value : key->values)
            names.append(value.name);
    }
    return names;
}

QString RegistryFileStore::value(const QString& path, const QString& name) const
{
    const Key* key = findKey(path);
    const Key::Value* found = key ? key->findValue(identity(name)) : nullptr;
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
    const QString last = components.size() == 1 ? hive : identity(components.last());
    Key* parent = root.get();
    if (components.size() > 1)
        parent = findKey(QStringView(path).left(path.lastIndexOf(QLatin1Char('\\'))));
    if (!parent)
        return true;
    const auto it = parent->children.find(last);
    if (it != parent->children.end()) {
        freeTree(std::move(it->second));
        parent->children.erase(it);
    }
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

struct ParseFailure
{
    QString message;
};
using Outcome = std::optional<ParseFailure>;

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
bool unwrap(QString& line)
{
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1).isSpace())
        --end;
    if (end == 0 || line.at(end - 1) != QLatin1Char('\\'))
        return false;
    line.truncate(end - 1);
    return true;
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
            // As Windows and Wine write them: \\ \" and Wine's \n \r \0.
            static const QString escapes = QStringLiteral("\\\"nr0");
            static const QString meanings = QStringLiteral("\\\"\n\r") + QChar(0);
            const qsizetype kind = escapes.indexOf(view.at(pos + 1));
            if (kind < 0)
                return ParseFailure{
                    RegistryFile::tr("a quoted text holds an unknown escape sequence")};
            out += view.mid(chunkStart, pos - chunkStart);
            out += meanings.at(kind);
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

class RegistryExportParser
{
public:
    RegistryExportParser(ExportLines& source, const ExportSelection& kept)
        : lines(source), dialect(source.isRegedit4() ? Dialect::Regedit4 : Dialect::Version5),
          selection(kept)
    {
    }

    RegistryFileResult run();

private:
    static constexpr int maxKeyDepth = 512; // as deep as the registry itself allows

    bool nextLogicalLine(QStringView& line, int& firstLineNumber);
    bool isHeader(QStringView line) const;
    Outcome parseLine(QStringView line, int number);
    Outcome parseKeyLine(QStringView line, int number);
    Outcome parseValueLine(QStringView line, int number);
    Outcome parseData(QStringView data, QString& valueText, bool& remove) const;

    ExportLines& lines;
    Dialect dialect;
    const ExportSelection& selection;
    QStringView physical;
    int lineNumber = 0;
    QString joined; // a line continued with trailing backslashes

    std::unique_ptr<RegistryFileStore> result = std::make_unique<RegistryFileStore>();
    RegistryFileStore::Key* currentKey = nullptr;
    QString currentPath;
    bool keyLeftOut = false; // a section kept out by the selection
    // With a selection of values, a section's key is made only for a value
    // kept; until then it may exist from an earlier section (looked up once).
    bool keyPending = false;
    bool keyLookedUp = false;
    bool skipping = false; // in a section whose values are not kept
};

bool RegistryExportParser::nextLogicalLine(QStringView& line, int& firstLineNumber)
{
    if (!lines.next(physical))
        return false;
    line = physical;
    firstLineNumber = ++lineNumber;
    // A joined export repeats the byte order mark of each part.
    if (line.startsWith(QChar(QChar::ByteOrderMark)))
        line = line.mid(1);
    const QStringView trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('"')) && !trimmed.startsWith(QLatin1Char('@')))
        return true; // only value lines go on: never a comment or a key
    // A value goes on over the next line after a trailing backslash (long hex
    // data) or while a quoted text is open (a raw line feed in a text).
    bool open = quoteOpenAfter(trimmed, false);
    if (!open && !trimmed.endsWith(QLatin1Char('\\')))
        return true;
    joined = trimmed.toString();
    QStringView next;
    while ((open || unwrap(joined)) && lines.next(next)) {
        ++lineNumber;
        if (open)
            (joined += QLatin1Char('\n')) += next;
        else
            joined += next.trimmed();
        open = quoteOpenAfter(next, open);
    }
    line = joined;
    return true;
}

RegistryFileResult RegistryExportParser::run()
{
    const RegistryFileError notText{0, RegistryFile::tr("the file is not valid UTF-16LE text")};
    if (lines.failed())
        return {nullptr, notText};
    QStringView line;
    int number = 0;
    if (!nextLogicalLine(line, number) || (line.isEmpty() && !lines.next(physical)))
        return {nullptr, {0, RegistryFile::tr("the file is empty")}};
    if (!isHeader(line.trimmed()))
        return {nullptr,
                {1, RegistryFile::tr("the file does not start with a registry export header")}};

    while (nextLogicalLine(line, number)) {
        if (auto failure = parseLine(line, number))
            return {nullptr, {number, failure->message}};
    }
    result->lastChain.clear();
    if (lines.failed())
        return {nullptr, notText};
    return {std::move(result), {}};
}

bool RegistryExportParser::isHeader(QStringView line) const
{
    return dialect == Dialect::Regedit4
               ? line == QLatin1String("REGEDIT4")
               : line == QLatin1String("Windows Registry Editor Version 5.00");
}

Outcome RegistryExportParser::parseLine(QStringView rawLine, int number)
{
    const QStringView line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
        return std::nullopt;
    if (isHeader(line)) { // the next part of a joined export
        currentKey = nullptr;
        keyLeftOut = false;
        keyPending = false;
        skipping = false;
        return std::nullopt;
    }
    if (line.startsWith(QLatin1Char('[')))
        return parseKeyLine(line, number);
    if (line.startsWith(QLatin1Char('"')) || line.startsWith(QLatin1Char('@'))) {
        // A second reading of a file that was checked whole passes over what
        // it does not keep.
        if (selection.checkedAlready && (skipping || keyLeftOut || (!currentKey && !keyPending)))
            return std::nullopt;
        return parseValueLine(line, number);
    }
    return ParseFailure{RegistryFile::tr("the line is neither a key, a value nor a comment")};
}

Outcome RegistryExportParser::parseKeyLine(QStringView line, int number)
{
    // The key ends at the "]" after which only blanks or a comment follow.
    qsizetype close = line.indexOf(QLatin1Char(']'));
    while (close >= 0) {
        const QStringView rest = line.mid(close + 1).trimmed();
        if (rest.isEmpty() || rest.startsWith(QLatin1Char(';')))
            break;
        close = line.indexOf(QLatin1Char(']'), close + 1);
    }
    if (close < 0)
        return ParseFailure{RegistryFile::tr("a key name is not closed with \"]\"")};
    QStringView path = line.mid(1, close - 1);
    const bool remove = path.startsWith(QLatin1Char('-'));
    if (remove)
        path = path.mid(1);
    while (path.endsWith(QLatin1Char('\\'))) // how some tools write a hive's root
        path.chop(1);
    if (path.isEmpty() || path.contains(QChar(0)))
        return ParseFailure{RegistryFile::tr("the key name is empty or not valid")};
    if (path.count(QLatin1Char('\\')) >= maxKeyDepth)
        return ParseFailure{RegistryFile::tr("the key is nested deeper than %1 levels")
                                .arg(QString::number(maxKeyDepth))};
    // Windows passes over a section under a hive it does not know, like one
    // under a hive Skyvane does not read.
    const QString hive = canonicalHiveName(path.left(path.indexOf(QLatin1Char('\\'))).toString());
    currentKey = nullptr;
    skipping = hive != QLatin1String("HKEY_LOCAL_MACHINE");
    if (skipping) {
        Logger::instance()->log(
            LogLevel::Warning,
            QStringLiteral("Registry export line %1: a key outside HKEY_LOCAL_MACHINE is skipped")
                .arg(number));
        return std::nullopt;
    }
    if (remove) {
        result->removeKey(path.toString());
        skipping = true; // values under a deleted key are ignored, as regedit does
        return std::nullopt;
    }
    // A key that discovery never reads is checked like any other, but not kept.
    keyPending = false;
    keyLeftOut = selection.keepsKey && !selection.keepsKey(path);
    if (keyLeftOut)
        return std::nullopt;
    currentPath = path.toString();
    keyPending = bool(selection.keepsValue);
    keyLookedUp = false;
    if (!keyPending)
        currentKey = result->ensureKey(path);
    return std::nullopt;
}

Outcome RegistryExportParser::parseValueLine(QStringView line, int number)
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

    if (selection.checkedAlready && selection.keepsName && !selection.keepsName(name))
        return std::nullopt; // never kept, so never there to change
    QString valueText;
    bool remove = false;
    if (auto failure = parseData(line.mid(pos + 1).trimmed(), valueText, remove))
        return failure;
    const bool keep =
        !remove && (!selection.keepsValue || selection.keepsValue(currentPath, name, valueText));
    if (!currentKey && keyPending && (keep || !keyLookedUp)) {
        currentKey = keep ? result->ensureKey(currentPath) : result->findKey(currentPath);
        keyLookedUp = true;
    }
    if (!currentKey) {
        if (!skipping && !keyLeftOut && !keyPending)
            Logger::instance()->log(
                LogLevel::Warning,
                QStringLiteral("Registry export line %1: a value before the first key is skipped")
                    .arg(number));
        return std::nullopt;
    }
    if (keep)
        currentKey->setValue(name, valueText);
    else
        currentKey->removeValue(name); // deleted, or its earlier text no longer holds
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
        // Windows ends a text at its first NUL, as Wine writes one ("\0").
        const qsizetype nul = valueText.indexOf(QChar(0));
        if (nul >= 0)
            valueText.truncate(nul);
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
        type = RegistryValue::Binary;
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
    if ((type == RegistryValue::Dword || type == RegistryValue::DwordBigEndian) &&
        bytes.size() != 4)
        return ParseFailure{RegistryFile::tr("a dword value needs exactly four bytes")};
    if (type == RegistryValue::Qword && bytes.size() != 8)
        return ParseFailure{RegistryFile::tr("a qword value needs exactly eight bytes")};
    valueText = QString::fromStdU16String(RegistryValue::text(
        unsigned(type), reinterpret_cast<const unsigned char*>(bytes.constData()),
        size_t(bytes.size()), dialect == Dialect::Regedit4));
    if (valueText.isNull())
        valueText = QLatin1String("");
    return std::nullopt;
}

namespace {
RegistryFileResult parseFrom(QIODevice& device, const ExportSelection& selection)
{
    const qint64 start = device.pos();
    ExportLines lines(device);
    RegistryExportParser parser(lines, selection);
    RegistryFileResult result = parser.run();
    // A version 5 file that is no UTF-8 was saved in the ANSI code page.
    if (lines.failed() && lines.encoding() == ExportLines::Encoding::Utf8 && device.seek(start)) {
        ExportLines ansi(device, true);
        RegistryExportParser again(ansi, selection);
        result = again.run();
    }
    return result;
}
} // namespace

RegistryFileResult parseRegistryExport(const QByteArray& bytes, const ExportSelection& selection)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return parseFrom(buffer, selection);
}

RegistryFileResult loadRegistryExport(const LocalPath& path, const ExportSelection& selection)
{
    const OpenedFile opened = openRegularFile(path, maxExportBytes);
    if (!opened.file)
        return {nullptr, {0, opened.error}};
    return parseFrom(*opened.file, selection);
}

RegistryFileResult loadRegistryExport(const QString& fileName)
{
    return loadRegistryExport(LocalPath(fileName));
}

QString registryFileErrorText(const QString& fileName, const RegistryFileError& error)
{
    if (error.line > 0)
        return RegistryFile::tr("The registry export %1 cannot be read: line %2: %3.")
            .arg(fileName, QString::number(error.line), error.message);
    return RegistryFile::tr("The registry export %1 cannot be read: %2.")
        .arg(fileName, error.message);
}
