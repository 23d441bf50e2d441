#pragma once

#include "core/result.h"
#include "registrystore.h"

class LocalPath;

#include <QByteArray>
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

// A key path split at its backslashes.
using RegistryPathParts = QVarLengthArray<QStringView, 16>;

class RegistryFileStore : public RegistryStore
{
public:
    RegistryFileStore();
    ~RegistryFileStore() override;

    QStringList childKeys(const QString& path) const override;
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
};

// Why an export was rejected.
struct RegistryFileError
{
    int line = 0; // 0 when the error concerns the whole file
    QString text;
};
using RegistryFileResult = Result<std::unique_ptr<RegistryFileStore>, RegistryFileError>;

// What of an export a store keeps: every key and value is read and checked,
// but only those the selection names are kept (all when it names none).
struct ExportSelection
{
    std::function<bool(QStringView keyPath)> keepsKey;
    // Asked of every value of a kept key; a key is made only once a value of
    // it is kept, unless keepsWhole says it is kept whole (empty keys too).
    std::function<bool(const QString& keyPath, const QString& name, const QString& text)>
        keepsValue;
    std::function<bool(QStringView keyPath)> keepsWhole;
    // Optional, with keepsValue: whether a value of that name can be kept at all
    // in a key not kept whole.
    std::function<bool(const QString& name)> keepsName;
    // The file was read and found well-formed before: what is not kept is
    // passed over unchecked.
    bool checkedAlready = false;
};

// Reads a registry export as regedit and "reg export" write it: a
// "Windows Registry Editor Version 5.00" file in UTF-16LE or UTF-8, or a
// "REGEDIT4" file in 8-bit text. Any malformed line rejects the whole file.
RegistryFileResult parseRegistryExport(const QByteArray& bytes,
                                       const ExportSelection& selection = {});
// Only a regular file is read, and none larger than the bound; it is read in
// chunks, never whole.
RegistryFileResult loadRegistryExport(const QString& fileName);
RegistryFileResult loadRegistryExport(const LocalPath& path, const ExportSelection& selection = {});
constexpr qint64 maxExportBytes = qint64(1) << 30;

// The user-facing description of a rejected file, naming the file and the line.
QString registryFileErrorText(const QString& fileName, const RegistryFileError& error);
