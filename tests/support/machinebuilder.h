#pragma once

#include "registry/registryfile.h"

#include <QList>
#include <QPair>

// A machine's registry written as text and installed as the store that
// discovery reads, through any of the registry backends. "[path]" starts a
// key below HKEY_LOCAL_MACHINE\SOFTWARE, "name=value" sets a text value in
// it; a value "@folder" names an install folder, created below installRoot.
// Lines starting with ";", and lines that are neither, are passed over.
class MachineBuilder
{
public:
    // The dialects of registry exports that real tools write.
    enum class Backend
    {
        RegeditUtf16Crlf, // regedit and "reg export": UTF-16LE with BOM, CRLF
        Utf8Lf,           // UTF-8 without BOM, LF
        Regedit4CrOnly,   // REGEDIT4, 8-bit text, CR line ends
        AnsiVersion5,     // version 5 header saved in the ANSI code page
    };
    static QList<Backend> backends()
    {
        return {Backend::RegeditUtf16Crlf, Backend::Utf8Lf, Backend::Regedit4CrOnly,
                Backend::AnsiVersion5};
    }
    static QString backendName(Backend backend);

    MachineBuilder(const QString& text, const QString& installRoot);

    QByteArray exportText(Backend backend) const;
    // Installs the registry and forgets any earlier discovery.
    void install(Backend backend = Backend::Utf8Lf) const;

private:
    struct Key
    {
        QString path;
        QList<QPair<QString, QString>> values;
    };
    QList<Key> keys;
};
