#include "exportparser.h"

#include "exportvalues.h"

#include "core/logger.h"

#include <algorithm>
#include <cstring>

namespace {
// A hash of a path's identity, made without a copy of an ASCII path: four
// characters at a time, their lower-case letters raised to upper case.
size_t identityHash(QStringView path)
{
    constexpr quint64 lanes = 0x0001000100010001ULL;
    quint64 hash = quint64(path.size());
    const char16_t* units = path.utf16();
    qsizetype i = 0;
    for (; i + 4 <= path.size(); i += 4) {
        quint64 word;
        std::memcpy(&word, units + i, 8);
        if (word & (0xff80 * lanes))
            return qHash(registryIdentity(path));
        const quint64 fromA = word + (0x80 - 'a') * lanes;     // bit 7 set from 'a' on
        const quint64 pastZ = word + (0x80 - 'z' - 1) * lanes; // bit 7 set past 'z'
        word -= ((fromA & ~pastZ) & (0x80 * lanes)) >> 2;      // less 0x20 for each letter
        hash = (hash ^ word) * 0x100000001b3ULL;
    }
    for (; i < path.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0x80)
            return qHash(registryIdentity(path));
        hash = (hash ^ (u >= u'a' && u <= u'z' ? u - 0x20 : u)) * 0x100000001b3ULL;
    }
    return size_t(hash);
}
} // namespace

bool RegistryExportParser::isHeader(QStringView line) const
{
    return dialect == Dialect::Regedit4
               ? line == QLatin1String("REGEDIT4")
               : line == QLatin1String("Windows Registry Editor Version 5.00");
}

// Whether a key line that cannot be read names a key that would be read.
bool RegistryExportParser::namesKeptKey(QStringView line) const
{
    QStringView path = line.mid(1);
    const qsizetype close = path.lastIndexOf(QLatin1Char(']'));
    path = close >= 0 ? path.left(close) : path;
    if (path.startsWith(QLatin1Char('-')))
        path = path.mid(1);
    const QStringView hive = path.left(path.indexOf(QLatin1Char('\\')));
    if (canonicalHiveName(hive) != QLatin1String("HKEY_LOCAL_MACHINE"))
        return false;
    return !selection.keepsKey || selection.keepsKey(path);
}

void RegistryExportParser::leaveSection()
{
    currentKey = nullptr;
    keyLeftOut = false;
    keyPending = false;
    onlyNamed = false;
    skipping = true;
}

// Counts what is kept against the bounds of an export.
Result<void> RegistryExportParser::keep(qsizetype characters)
{
    ++keptEntries;
    keptCharacters += characters;
    if (keptEntries > bounds.keptEntries)
        return failure(RegistryFile::tr("the keys read hold more than %1 keys and values, the "
                                        "bound for an export")
                           .arg(bounds.keptEntries));
    if (keptCharacters > bounds.keptCharacters)
        return failure(RegistryFile::tr("the keys read hold more than %1 characters of names "
                                        "and text, the bound for an export")
                           .arg(bounds.keptCharacters));
    return {};
}

Result<void> RegistryExportParser::parseLine(QStringView rawLine, int number)
{
    const QStringView line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
        return {};
    if (isHeader(line)) { // the next part of a joined export
        currentKey = nullptr;
        keyLeftOut = false;
        keyPending = false;
        onlyNamed = false;
        skipping = false;
        return {};
    }
    if (line.startsWith(QLatin1Char('[')))
        return parseKeyLine(line, number);
    if (brokenHex) {
        qCWarning(lcRegistry).noquote()
            << QStringLiteral("Registry export line %1: a hex value broken inside "
                              "a byte or before its comma is dropped")
                   .arg(number);
        return {};
    }
    if (line.startsWith(QLatin1Char('"')) || line.startsWith(QLatin1Char('@')))
        return parseValueLine(line);
    return failure(RegistryFile::tr("the line is neither a key, a value nor a comment"));
}

Result<void> RegistryExportParser::parseKeyLine(QStringView line, int number)
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
        return failure(RegistryFile::tr("a key name is not closed with \"]\""));
    QStringView path = line.mid(1, close - 1);
    const bool remove = path.startsWith(QLatin1Char('-'));
    if (remove)
        path = path.mid(1);
    while (path.endsWith(QLatin1Char('\\'))) // how some tools write a hive's root
        path.chop(1);
    if (path.isEmpty() || path.contains(QChar(0)))
        return failure(RegistryFile::tr("the key name is empty or not valid"));
    // maxKeyDepth separators take twice as many characters at least.
    if (path.size() >= 2 * maxKeyDepth && path.count(QLatin1Char('\\')) >= maxKeyDepth)
        return failure(RegistryFile::tr("the key is nested deeper than %1 levels")
                           .arg(QString::number(maxKeyDepth)));
    // Windows passes over a section under a hive it does not know, like one
    // under a hive Skyvane does not read.
    const QStringView hiveName = path.left(path.indexOf(QLatin1Char('\\')));
    static const QString machine = QStringLiteral("HKEY_LOCAL_MACHINE");
    const QString hive = hiveName == machine ? machine : canonicalHiveName(hiveName);
    currentKey = nullptr;
    onlyNamed = false;
    skipping = hive != QLatin1String("HKEY_LOCAL_MACHINE");
    if (skipping) {
        qCWarning(lcRegistry).noquote()
            << QStringLiteral(
                   "Registry export line %1: a key outside HKEY_LOCAL_MACHINE is skipped")
                   .arg(number);
        return {};
    }
    if (remove) {
        result->removeKey(path.toString());
        skipping = true; // values under a deleted key are ignored, as regedit does
        return {};
    }
    keyPending = false;
    keyLeftOut = selection.keepsKey && !selection.keepsKey(path);
    if (keyLeftOut)
        return {};
    currentPath.resize(0); // its capacity kept, section after section
    currentPath += path;
    keyPending = selection.keepsValue && !(selection.keepsWhole && selection.keepsWhole(path));
    keyLookedUp = false;
    onlyNamed = keyPending && !selection.valueName.isEmpty();
    if (keyPending)
        return {};
    currentKey = result->ensureKey(path);
    return keep(path.size());
}

Result<void> RegistryExportParser::parseValueLine(QStringView line)
{
    QString& name = nameBuffer;
    qsizetype pos = 0;
    if (line.startsWith(QLatin1Char('@'))) {
        name = QString(); // the default value
        pos = 1;
    } else if (Result<void> read = readQuoted(line, pos, name); !read.ok()) {
        return read;
    }
    while (pos < line.size() && line.at(pos).isSpace())
        ++pos;
    if (pos >= line.size() || line.at(pos) != QLatin1Char('='))
        return failure(RegistryFile::tr("a value name is not followed by \"=\""));

    QString& valueText = textBuffer;
    valueText.resize(0);
    bool remove = false;
    // Data that is not kept is only checked.
    const bool onlyCheck =
        !currentKey && onlyNamed && !isSameRegistryName(name, selection.valueName);
    if (Result<void> read =
            parseValueData(line.mid(pos + 1).trimmed(), dialect == Dialect::Regedit4, valueText,
                           remove, onlyCheck);
        !read.ok())
        return read;
    return storeValue(name, valueText, remove);
}

// The one value read in a key not kept whole, when written plainly
// ("DisplayName"="text": no escape, nothing after it): read without the
// general grammar, as most lines of the list of installed software are.
bool RegistryExportParser::isPlainNamedValue(QStringView line, QStringView& name,
                                             QStringView& text) const
{
    line = line.trimmed();
    const qsizetype size = selection.valueName.size();
    if (line.size() < size + 5 || line.at(0) != QLatin1Char('"') ||
        line.at(size + 1) != QLatin1Char('"'))
        return false;
    name = line.mid(1, size);
    if (!isSameRegistryName(name, selection.valueName))
        return false;
    qsizetype pos = size + 2;
    while (pos < line.size() &&
           (line.at(pos) == QLatin1Char(' ') || line.at(pos) == QLatin1Char('\t')))
        ++pos;
    if (pos >= line.size() || line.at(pos) != QLatin1Char('='))
        return false;
    ++pos;
    while (pos < line.size() &&
           (line.at(pos) == QLatin1Char(' ') || line.at(pos) == QLatin1Char('\t')))
        ++pos;
    if (pos + 1 >= line.size() || line.at(pos) != QLatin1Char('"') ||
        !line.endsWith(QLatin1Char('"')))
        return false;
    text = line.mid(pos + 1, line.size() - pos - 2);
    return !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\\')) &&
           !text.contains(QChar(0));
}

// Keeps a value read, or lets go of it (a deletion, or not kept).
Result<void> RegistryExportParser::storeValue(const QString& name, const QString& valueText,
                                              bool remove)
{
    const bool keep =
        !remove && (!selection.keepsValue || selection.keepsValue(currentPath, name, valueText));
    // A key not made yet may stand from an earlier section, once any is made.
    if (!currentKey && keyPending && (keep || (!keyLookedUp && !lazyKeysMade.isEmpty()))) {
        keyLookedUp = true;
        const size_t identity = identityHash(currentPath);
        if (keep) {
            currentKey = result->ensureKey(currentPath);
            lazyKeysMade.insert(identity);
            if (Result<void> room = this->keep(currentPath.size()); !room.ok())
                return room;
        } else if (lazyKeysMade.contains(identity)) {
            currentKey = result->findKey(currentPath);
        }
    }
    if (!currentKey)
        return {};
    if (keep) {
        if (Result<void> room = this->keep(name.size() + valueText.size()); !room.ok())
            return room;
        currentKey->setValue(name, valueText);
        return {};
    }
    currentKey->removeValue(name); // deleted, or its earlier text no longer holds
    return {};
}
