#include "exportparser.h"

#include "exportvalues.h"

#include "core/localfile.h"
#include "core/logger.h"

#include <QBuffer>

// Whether the current line is decoded: key lines and headers always, value
// lines only in the keys that are read. Everything else is passed over on
// the raw bytes.
bool RegistryExportParser::readsLine(char16_t first)
{
    if (first == u'[')
        return true;
    if (first == u'W' || first == u'R') {
        if (lines.startsWith(dialect == Dialect::Regedit4
                                 ? QLatin1StringView("REGEDIT4")
                                 : QLatin1StringView("Windows Registry Editor Version 5.00")))
            return true;
    }
    if (!currentKey && !keyPending)
        return false;
    return !onlyNamed || lines.startsWith(QLatin1StringView(quotedName));
}

// The current line, joined with the lines it goes on over.
Result<QStringView> RegistryExportParser::logicalLine()
{
    const Result<QStringView> first = lines.read();
    if (!first.ok())
        return first;
    QStringView line = first.value();
    brokenHex = false;
    if (line.startsWith(QChar(QChar::ByteOrderMark)))
        line = line.mid(1);
    const QStringView trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('"')) && !trimmed.startsWith(QLatin1Char('@')))
        return line; // only value lines go on: never a comment or a key
    // A value goes on over the next line after a trailing backslash (long hex
    // data) or while a quoted text is open (a raw line feed in a text).
    bool open = quoteOpenAfter(trimmed, false);
    if (!open && continuationAt(trimmed) < 0)
        return line;
    joined = trimmed.toString();
    bool more = open || unwrap(joined);
    // Windows drops a hex value whose line breaks inside a byte or before its
    // comma ("61,62\" then ",63"), and keeps the rest of the file.
    const bool hex = !open && joined.contains(QLatin1String("=hex"), Qt::CaseInsensitive);
    while (more && lines.nextLine()) {
        ++lineNumber;
        // Windows passes over blank lines and comment lines between the
        // lines of a continued value.
        const char16_t start = lines.firstCharacter();
        if (!open && (start == 0 || start == u';'))
            continue;
        const Result<QStringView> next = lines.read();
        if (!next.ok())
            return next;
        if (open) {
            (joined += QLatin1Char('\n')) += next.value();
            open = quoteOpenAfter(next.value(), true);
            more = open || unwrap(joined);
        } else {
            brokenHex = brokenHex || (hex && !joined.trimmed().endsWith(QLatin1Char(',')));
            joined += next.value().trimmed();
            more = unwrap(joined);
        }
        if (joined.size() > bounds.lineCharacters)
            return failure(ExportScanner::overlongText(bounds));
    }
    return QStringView(joined);
}

RegistryFileResult RegistryExportParser::run()
{
    if (const Result<void> text = lines.problem(); !text.ok())
        return failure(RegistryFileError{0, text.errorString()});
    // The header, after any blank lines, as Windows' importer finds it.
    bool found = false;
    while (!found && lines.nextLine()) {
        ++lineNumber;
        found = lines.firstCharacter() != 0;
    }
    if (!found) {
        const Result<void> text = lines.problem();
        return failure(RegistryFileError{0, text.ok() ? RegistryFile::tr("the file is empty")
                                                      : text.errorString()});
    }
    const Result<QStringView> header = lines.read();
    if (!header.ok())
        return failure(RegistryFileError{lineNumber, header.errorString()});
    QStringView headerLine = header.value();
    if (headerLine.startsWith(QChar(QChar::ByteOrderMark)))
        headerLine = headerLine.mid(1);
    if (!isHeader(headerLine.trimmed()))
        return failure(RegistryFileError{
            lineNumber, RegistryFile::tr("the file does not start with a registry export header")});

    while (lines.nextLine()) {
        const int number = ++lineNumber;
        const char16_t first = lines.firstCharacter();
        if (first == 0 || first == u';')
            continue; // never decoded
        if (!readsLine(first)) {
            ++passedOver;
            continue;
        }
        const bool inKeyRead = currentKey || keyPending;
        if (onlyNamed && first == u'"') {
            QStringView name, text;
            const Result<QStringView> plain = lines.read();
            if (plain.ok() && isPlainNamedValue(plain.value(), name, text)) {
                nameBuffer.resize(0);
                nameBuffer += name;
                textBuffer.resize(0);
                textBuffer += text;
                if (Result<void> stored = storeValue(nameBuffer, textBuffer, false); !stored.ok())
                    return failure(RegistryFileError{number, stored.errorString()});
                continue;
            }
        }
        const Result<QStringView> line = logicalLine();
        Result<void> parsed =
            line.ok() ? parseLine(line.value(), number) : Result<void>(failure(line.errorString()));
        if (parsed.ok())
            continue;
        if (const Result<void> text = lines.problem(); !text.ok())
            return failure(RegistryFileError{0, text.errorString()});
        // A line Windows' importer skips is skipped where nothing is read.
        const bool refused = first == u'['
                                 ? namesKeptKey(line.ok() ? line.value().trimmed() : QStringView())
                                 : inKeyRead;
        if (refused || !line.ok())
            return failure(RegistryFileError{number, parsed.errorString()});
        ++skipped;
        leaveSection();
    }
    if (const Result<void> text = lines.problem(); !text.ok())
        return failure(RegistryFileError{0, text.errorString()});
    result->lastChain.clear();
    return std::move(result);
}

namespace {
RegistryFileResult parseFrom(QIODevice& device, const ExportSelection& selection,
                             const ExportBounds& bounds, const QString& name)
{
    const qint64 start = device.pos();
    ExportScanner lines(device, bounds);
    RegistryExportParser parser(lines, selection, bounds);
    RegistryFileResult result = parser.run();
    int passedOver = parser.linesPassedOver();
    int skipped = parser.linesSkipped();
    // A version 5 file that is no UTF-8 was saved in the ANSI code page.
    if (lines.isNotUtf8() && device.seek(start)) {
        ExportScanner ansi(device, bounds, true);
        RegistryExportParser again(ansi, selection, bounds);
        result = again.run();
        passedOver = again.linesPassedOver();
        skipped = again.linesSkipped();
    }
    if (result.ok() && (passedOver > 0 || skipped > 0))
        qCInfo(lcRegistry).noquote()
            << QStringLiteral("Registry export %1: lines of keys that are not read, passed over "
                              "unread: %2; lines that Windows' importer skips too, skipped: %3")
                   .arg(name, QString::number(passedOver), QString::number(skipped));
    return result;
}
} // namespace

RegistryFileResult parseRegistryExport(const QByteArray& bytes, const ExportSelection& selection,
                                       const ExportBounds& bounds)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return parseFrom(buffer, selection, bounds, QStringLiteral("in memory"));
}

RegistryFileResult loadRegistryExport(const LocalPath& path, const ExportSelection& selection,
                                      const ExportBounds& bounds)
{
    const OpenedFile opened = openRegularFile(path, bounds.fileBytes);
    if (!opened.ok())
        return failure(RegistryFileError{0, opened.errorString()});
    RegistryFileResult result = parseFrom(*opened.value(), selection, bounds, path.shown());
    // Of the file that was read, not of whatever bears its name by now.
    if (result.ok())
        result.value()->setFileModified(
            opened.value()->fileTime(QFileDevice::FileModificationTime).toUTC());
    return result;
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
