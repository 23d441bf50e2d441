#pragma once

#include "registry/registryfile.h"

#include <QList>
#include <QPair>

// A machine's registry written as text and installed as the store that
// discovery reads, through any of the registry backends. "[path]" starts a
// key below HKEY_LOCAL_MACHINE\SOFTWARE, "name=value" sets a text value in
// it; a value "@folder" names an install folder, created below installRoot.
class MachineBuilder
{
public:
    enum class Backend
    {
        Memory,
        ExportUtf16Crlf,
        ExportUtf8Lf
    };
    static QList<Backend> backends()
    {
        return {Backend::Memory, Backend::ExportUtf16Crlf, Backend::ExportUtf8Lf};
    }
    static QString backendName(Backend backend);

    MachineBuilder(const QString& text, const QString& installRoot);

    QByteArray exportText(Backend backend) const;
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
