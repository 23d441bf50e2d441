#pragma once

// The grammar of a registry export, line by line, shared by the reading of a
// file (exportreader.cpp) and of its lines (exportgrammar.cpp).

#include "exportscanner.h"
#include "registryfile.h"
#include "registrykey.h"

#include <QSet>

enum class Dialect
{
    Version5,
    Regedit4
};

class RegistryExportParser
{
public:
    RegistryExportParser(ExportScanner& source, const ExportSelection& kept,
                         const ExportBounds& limits)
        : lines(source), dialect(source.isRegedit4() ? Dialect::Regedit4 : Dialect::Version5),
          selection(kept), bounds(limits), quotedName('"' + kept.valueName.toLatin1() + '"')
    {
    }

    RegistryFileResult run();
    int linesPassedOver() const { return passedOver; }
    int linesSkipped() const { return skipped; }

private:
    static constexpr int maxKeyDepth = 512; // as deep as the registry itself allows

    bool readsLine(char16_t first);
    Result<QStringView> logicalLine();
    bool isHeader(QStringView line) const;
    bool namesKeptKey(QStringView line) const;
    void leaveSection();
    Result<void> parseLine(QStringView line, int number);
    Result<void> parseKeyLine(QStringView line, int number);
    Result<void> parseValueLine(QStringView line);
    bool isPlainNamedValue(QStringView line, QStringView& name, QStringView& text) const;
    Result<void> storeValue(const QString& name, const QString& valueText, bool remove);
    Result<void> keep(qsizetype characters);

    ExportScanner& lines;
    Dialect dialect;
    const ExportSelection& selection;
    const ExportBounds& bounds;
    const QByteArray quotedName; // of the one value read in a key not kept whole
    int lineNumber = 0;
    int passedOver = 0;     // lines of keys that are not read
    int skipped = 0;        // lines Windows' importer skips too, outside the keys read
    bool brokenHex = false; // the logical line is a hex value that Windows drops
    QString joined;         // a line continued with trailing backslashes
    QString nameBuffer;     // a value's name and text, their capacity kept line after line
    QString textBuffer;
    qsizetype keptEntries = 0;
    qsizetype keptCharacters = 0;

    std::unique_ptr<RegistryFileStore> result = std::make_unique<RegistryFileStore>();
    RegistryFileStore::Key* currentKey = nullptr;
    QString currentPath;
    bool keyLeftOut = false; // a section kept out by the selection
    // With a selection of values, a section's key is made only for a value
    // kept; until then it may exist from an earlier section (looked up once).
    bool keyPending = false;
    bool keyLookedUp = false;
    bool onlyNamed = false;    // only the value of the selection's name is read
    QSet<size_t> lazyKeysMade; // hashes of their identities
    bool skipping = false;     // in a section whose values are not kept
};
