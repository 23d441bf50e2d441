#pragma once

#include "registry/registryfile.h"

#include <QList>
#include <QPair>

// A machine's registry written as text and read into the store that
// discovery reads, through any of the registry export dialects. "[path]" starts a
// key below HKEY_LOCAL_MACHINE\SOFTWARE, "name=value" sets a text value in
// it; a value "@folder" names an install folder, created below installRoot.
// Lines starting with ";", and lines that are neither, are passed over.
class MachineBuilder
{
public:
    // A dialect of registry export that real tools write.
    struct Dialect
    {
        const char* name;
        const char* header;
        const char* lineEnd;
        QByteArray (*encode)(const QString& text);
    };
    static const QList<Dialect>& dialects();

    MachineBuilder(const QString& text, const QString& installRoot);

    QByteArray exportText(const Dialect& dialect) const;
    // The store discovery reads, from an export in the dialect.
    std::unique_ptr<RegistryStore> install(const Dialect& dialect = dialects().at(1)) const;

private:
    struct Key
    {
        QString path;
        QList<QPair<QString, QString>> values;
    };
    QList<Key> keys;
};
