#include "registryfile.h"

#include "exportlines.h"
#include "exportvalues.h"
#include "registrykey.h"

#include "core/localfile.h"
#include "core/logger.h"

#include <QBuffer>

namespace {
enum class Dialect
{
    Version5,
    Regedit4
};
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
    Result<void> parseLine(QStringView line, int number);
    Result<void> parseKeyLine(QStringView line, int number);
    Result<void> parseValueLine(QStringView line, int number);

    ExportLines& lines;
    Dialect dialect;
    const ExportSelection& selection;
    QStringView physical;
    int lineNumber = 0;
    bool brokenHex = false; // the logical line is a hex value that Windows drops
    QString joined;         // a line continued with trailing backslashes
    QString nameBuffer;     // a value's name and text, their capacity kept line after line
    QString textBuffer;

    std::unique_ptr<RegistryFileStore> result = std::make_unique<RegistryFileStore>();
    RegistryFileStore::Key* currentKey = nullptr;
    QString currentPath;
    bool keyLeftOut = false; // a section kept out by the selection
    // With a selection of values, a section's key is made only for a value
    // kept; until then it may exist from an earlier section (looked up once).
    bool keyPending = false;
    bool keyLookedUp = false;
    int lazyKeysMade = 0;
    bool skipping = false; // in a section whose values are not kept
};

bool RegistryExportParser::nextLogicalLine(QStringView& line, int& firstLineNumber)
{
    if (!lines.next(physical))
        return false;
    line = physical;
    firstLineNumber = ++lineNumber;
    brokenHex = false;
    // A joined export repeats the byte order mark of each part.
    if (line.startsWith(QChar(QChar::ByteOrderMark)))
        line = line.mid(1);
    const QStringView trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('"')) && !trimmed.startsWith(QLatin1Char('@')))
        return true; // only value lines go on: never a comment or a key
    // A value goes on over the next line after a trailing backslash (long hex
    // data) or while a quoted text is open (a raw line feed in a text).
    bool open = quoteOpenAfter(trimmed, false);
    if (!open && continuationAt(trimmed) < 0)
        return true;
    joined = trimmed.toString();
    bool more = open || unwrap(joined);
    // Windows drops a hex value whose line breaks inside a byte or before its
    // comma ("61,62\" then ",63"), and keeps the rest of the file.
    const bool hex = !open && joined.contains(QLatin1String("=hex"), Qt::CaseInsensitive);
    QStringView next;
    while (more && lines.next(next)) {
        ++lineNumber;
        if (open) {
            (joined += QLatin1Char('\n')) += next;
            open = quoteOpenAfter(next, true);
            more = open || unwrap(joined);
            continue;
        }
        // Windows passes over blank lines and comment lines between the
        // lines of a continued value.
        const QStringView piece = next.trimmed();
        if (piece.isEmpty() || piece.startsWith(QLatin1Char(';')))
            continue;
        brokenHex = brokenHex || (hex && !joined.trimmed().endsWith(QLatin1Char(',')));
        joined += piece;
        more = unwrap(joined);
    }
    line = joined;
    return true;
}

RegistryFileResult RegistryExportParser::run()
{
    if (const Result<void> text = lines.decoding(); !text.ok())
        return failure(RegistryFileError{0, text.errorString()});
    QStringView line;
    int number = 0;
    if (!nextLogicalLine(line, number) || (line.isEmpty() && !lines.next(physical)))
        return failure(RegistryFileError{0, RegistryFile::tr("the file is empty")});
    if (!isHeader(line.trimmed()))
        return failure(RegistryFileError{
            1, RegistryFile::tr("the file does not start with a registry export header")});

    while (nextLogicalLine(line, number)) {
        if (const Result<void> parsed = parseLine(line, number); !parsed.ok())
            return failure(RegistryFileError{number, parsed.errorString()});
    }
    result->lastChain.clear();
    if (const Result<void> text = lines.decoding(); !text.ok())
        return failure(RegistryFileError{0, text.errorString()});
    return std::move(result);
}

bool RegistryExportParser::isHeader(QStringView line) const
{
    return dialect == Dialect::Regedit4
               ? line == QLatin1String("REGEDIT4")
               : line == QLatin1String("Windows Registry Editor Version 5.00");
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
    if (line.startsWith(QLatin1Char('"')) || line.startsWith(QLatin1Char('@'))) {
        // A second reading of a file that was checked whole passes over what
        // it does not keep.
        if (selection.checkedAlready && (skipping || keyLeftOut || (!currentKey && !keyPending)))
            return {};
        return parseValueLine(line, number);
    }
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
    // A key that discovery never reads is checked like any other, but not kept.
    keyPending = false;
    keyLeftOut = selection.keepsKey && !selection.keepsKey(path);
    if (keyLeftOut)
        return {};
    currentPath = path.toString();
    keyPending = selection.keepsValue && !(selection.keepsWhole && selection.keepsWhole(path));
    keyLookedUp = false;
    if (!keyPending)
        currentKey = result->ensureKey(path);
    return {};
}

Result<void> RegistryExportParser::parseValueLine(QStringView line, int number)
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

    if (selection.checkedAlready && selection.keepsName && !selection.keepsName(name))
        return {}; // never kept, so never there to change
    QString& valueText = textBuffer;
    valueText.resize(0);
    bool remove = false;
    // Data that is not kept is only checked.
    const bool onlyCheck = (!currentKey && !keyPending) ||
                           (keyPending && selection.keepsName && !selection.keepsName(name));
    if (Result<void> read =
            parseValueData(line.mid(pos + 1).trimmed(), dialect == Dialect::Regedit4, valueText,
                           remove, onlyCheck);
        !read.ok())
        return read;
    const bool keep =
        !remove && (!selection.keepsValue || selection.keepsValue(currentPath, name, valueText));
    // A key not made yet may stand from an earlier section, once any is made.
    if (!currentKey && keyPending && (keep || (!keyLookedUp && lazyKeysMade > 0))) {
        currentKey = keep ? result->ensureKey(currentPath) : result->findKey(currentPath);
        keyLookedUp = true;
        lazyKeysMade += keep ? 1 : 0;
    }
    if (!currentKey) {
        if (!skipping && !keyLeftOut && !keyPending)
            qCWarning(lcRegistry).noquote()
                << QStringLiteral(
                       "Registry export line %1: a value before the first key is skipped")
                       .arg(number);
        return {};
    }
    if (keep)
        currentKey->setValue(name, valueText);
    else
        currentKey->removeValue(name); // deleted, or its earlier text no longer holds
    return {};
}

namespace {
RegistryFileResult parseFrom(QIODevice& device, const ExportSelection& selection)
{
    const qint64 start = device.pos();
    ExportLines lines(device);
    RegistryExportParser parser(lines, selection);
    RegistryFileResult result = parser.run();
    // A version 5 file that is no UTF-8 was saved in the ANSI code page.
    if (!lines.decoding().ok() && lines.encoding() == ExportLines::Encoding::Utf8 &&
        device.seek(start)) {
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
    if (!opened.ok())
        return failure(RegistryFileError{0, opened.errorString()});
    return parseFrom(*opened.value(), selection);
}

RegistryFileResult loadRegistryExport(const QString& fileName)
{
    return loadRegistryExport(LocalPath(fileName));
}

QString registryFileErrorText(const QString& fileName, const RegistryFileError& error)
{
    if (error.line > 0)
        return RegistryFile::tr("The registry export %1 cannot be read: line %2: %3.")
            .arg(fileName, QString::number(error.line), error.text);
    return RegistryFile::tr("The registry export %1 cannot be read: %2.").arg(fileName, error.text);
}
