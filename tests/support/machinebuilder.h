#pragma once

#include "registry/registryfile.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>

// Describes a machine's registry in a few lines and installs it as the store
// that discovery reads, through any of the registry backends.
class MachineBuilder
{
public:
    enum class Backend
    {
        Memory,
        ExportUtf16Crlf,
        ExportUtf8Lf
    };

    MachineBuilder& key(const QString& path);
    // A text value in the key named last.
    MachineBuilder& value(const QString& name, const QString& text);

    QByteArray exportText(Backend backend) const;
    std::unique_ptr<RegistryStore> build(Backend backend) const;
    // Installs the registry and forgets any earlier discovery.
    void install(Backend backend = Backend::Memory) const;

private:
    struct Key
    {
        QString path;
        QList<QPair<QString, QString>> values;
    };
    QList<Key> keys;
};

QString backendName(MachineBuilder::Backend backend);
