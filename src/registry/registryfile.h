#pragma once

#include "exportbounds.h"

#include "core/result.h"
#include "registrystore.h"

class LocalPath;

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QVarLengthArray>

#include <functional>
#include <map>
#include <optional>
#include <vector>

// A registry held in memory, as read from a Windows registry export (.reg).
// Whether a name or key path begins with the given one by Windows' rule for
// telling names apart (simple upper-case mapping); quick for ASCII.
bool startsWithRegistryName(QStringView text, QStringView prefix);
bool isSameRegistryName(QStringView a, QStringView b);
// Whether a key path is the tree's key or one below it.
bool isUnderRegistryKey(QStringView path, QStringView tree);

// A key path split at its backslashes.
using RegistryPathParts = QVarLengthArray<QStringView, 16>;

class RegistryFileStore : public RegistryStore
{
public:
    RegistryFileStore();
    ~RegistryFileStore() override;

    QStringList childKeys(const QString& path) const override;
    bool hasKey(const QString& path) const override { return findKey(path) != nullptr; }
    bool hasValue(const QString& path, const QString& name) const override;
    QString value(const QString& path, const QString& name) const override;
    // The names of a key's values, as spelled, in the order they were set.
    QStringList valueNames(const QString& path) const;

    // Building blocks for the parser and for tests. Paths use full or short hive names.
    bool setValue(const QString& path, const QString& name, const QString& text);
    bool removeValue(const QString& path, const QString& name);
    bool addKey(const QString& path);
    bool removeKey(const QString& path);
    // Moves the keys and values of another store into this one.
    void takeKeysOf(RegistryFileStore& other);
    // When the export was last written (UTC), as the file it was read from
    // said; invalid for a store not read from a file.
    QDateTime fileModified() const { return modified; }
    void setFileModified(const QDateTime& time) { modified = time; }

private:
    friend class RegistryExportParser;
    struct Key;
    Key* findKey(QStringView path) const;
    static void freeTree(std::unique_ptr<Key> top);
    Key* ensureKey(QStringView path);
    qsizetype sharedWithLastChain(const QString& hive, const RegistryPathParts& components) const;

    std::unique_ptr<Key> root;
    // The chain of keys last walked by ensureKey(): consecutive sections of an
    // export share most of their path, so findKey() and ensureKey() look up
    // only the rest.
    std::vector<Key*> lastChain;
    QDateTime modified;
};

// Why an export was rejected.
struct RegistryFileError
{
    int line = 0; // 0 when the error concerns the whole file
    QString text;
};
using RegistryFileResult = Result<std::unique_ptr<RegistryFileStore>, RegistryFileError>;

// What of an export a store keeps: the keys it names are read and checked,
// all others passed over unread (all are read when it names none).
struct ExportSelection
{
    std::function<bool(QStringView keyPath)> keepsKey;
    // Asked of every value of a kept key; a key is made only once a value of
    // it is kept, unless keepsWhole says it is kept whole (empty keys too).
    std::function<bool(const QString& keyPath, const QString& name, const QString& text)>
        keepsValue;
    std::function<bool(QStringView keyPath)> keepsWhole;
    // Optional, with keepsValue: the one value (an ASCII name) read in a key
    // not kept whole; its other lines are passed over unread.
    QString valueName;
};

// Reads a registry export as regedit and "reg export" write it: a
// "Windows Registry Editor Version 5.00" file in UTF-16LE or UTF-8, or a
// "REGEDIT4" file in 8-bit text. A malformed line in a key that is read
// rejects the whole file; what is not read is passed over on the raw bytes,
// and the bounds hold whatever the file's size and shape.
RegistryFileResult parseRegistryExport(const QByteArray& bytes,
                                       const ExportSelection& selection = {},
                                       const ExportBounds& bounds = {});
// Only a regular file is read, and none larger than the bound; it is read in
// chunks, never whole.
RegistryFileResult loadRegistryExport(const QString& fileName);
RegistryFileResult loadRegistryExport(const LocalPath& path, const ExportSelection& selection = {},
                                      const ExportBounds& bounds = {});

// The user-facing description of a rejected file, naming the file and the line.
QString registryFileErrorText(const QString& fileName, const RegistryFileError& error);
