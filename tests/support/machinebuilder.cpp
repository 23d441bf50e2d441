#include "machinebuilder.h"

#include "core/localfile.h"
#include "products/discoveryexport.h"

#include <QDir>
#include <QTemporaryFile>

#include <algorithm>

namespace {
QString quoted(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}
} // namespace

MachineBuilder::MachineBuilder(const QString& text, const QString& installRoot)
{
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char(';')) ||
            (!line.contains(QLatin1Char('=')) && !line.startsWith(QLatin1Char('['))))
            continue; // comments, and what a test expects
        if (line.startsWith(QLatin1Char('['))) {
            keys.append({"HKEY_LOCAL_MACHINE\\SOFTWARE\\" + line.mid(1, line.size() - 2), {}});
            continue;
        }
        QString value = line.section(QLatin1Char('='), 1);
        if (value.startsWith(QLatin1Char('@'))) {
            value = installRoot + QLatin1Char('/') + value.mid(1);
            QDir().mkpath(value);
        }
        keys.last().values.append({line.section(QLatin1Char('='), 0, 0), value});
    }
}

const QList<MachineBuilder::Dialect>& MachineBuilder::dialects()
{
    static const auto utf16 = [](const QString& text) {
        return QByteArray("\xff\xfe", 2) +
               QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    };
    static const auto utf8 = [](const QString& text) { return text.toUtf8(); };
    static const auto eightBit = [](const QString& text) { return text.toLatin1(); };
    static const char* const version5 = "Windows Registry Editor Version 5.00";
    static const QList<Dialect> all{{"regedit: UTF-16LE, CRLF", version5, "\r\n", utf16},
                                    {"UTF-8, LF, sections in reverse", version5, "\n", utf8},
                                    {"REGEDIT4: 8-bit, CR", "REGEDIT4", "\r", eightBit},
                                    {"version 5 in the ANSI code page", version5, "\n", eightBit}};
    return all;
}

QByteArray MachineBuilder::exportText(const Dialect& dialect) const
{
    const QString eol = QLatin1String(dialect.lineEnd);
    QString text = QLatin1String(dialect.header) + eol + eol;
    // One dialect lists the sections the other way round, so that the list of
    // installed software comes before the vendor trees.
    QList<Key> ordered = keys;
    if (QByteArray(dialect.name).contains("reverse"))
        std::reverse(ordered.begin(), ordered.end());
    for (const Key& key : ordered) {
        text += QLatin1Char('[') + key.path + QLatin1Char(']') + eol;
        for (const auto& value : key.values)
            text += quoted(value.first) + QLatin1Char('=') + quoted(value.second) + eol;
    }
    return dialect.encode(text);
}

std::unique_ptr<RegistryStore> MachineBuilder::install(const Dialect& dialect) const
{
    // As an export file is read for discovery, keeping only what it reads.
    QTemporaryFile file;
    const QByteArray bytes = exportText(dialect);
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        qFatal("cannot write a machine's export");
    auto loaded = loadExportForDiscovery(LocalPath(file.fileName()));
    return loaded.ok() ? std::move(loaded.value().store) : nullptr;
}
