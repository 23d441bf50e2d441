#include "machinebuilder.h"

#include "products/quorixconfig.h"

namespace {
QString quoted(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}
} // namespace

MachineBuilder& MachineBuilder::key(const QString& path)
{
    keys.append({path, {}});
    return *this;
}

MachineBuilder& MachineBuilder::value(const QString& name, const QString& text)
{
    keys.last().values.append({name, text});
    return *this;
}

QByteArray MachineBuilder::exportText(Backend backend) const
{
    const QString eol =
        backend == Backend::ExportUtf16Crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text = QStringLiteral("Windows Registry Editor Version 5.00") + eol + eol;
    for (const Key& key : keys) {
        text += QLatin1Char('[') + key.path + QLatin1Char(']') + eol;
        for (const auto& value : key.values)
            text += quoted(value.first) + QLatin1Char('=') + quoted(value.second) + eol;
        text += eol;
    }
    if (backend == Backend::ExportUtf16Crlf) {
        QByteArray bytes("\xff\xfe", 2);
        bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        return bytes;
    }
    return text.toUtf8();
}

std::unique_ptr<RegistryStore> MachineBuilder::build(Backend backend) const
{
    if (backend == Backend::Memory) {
        auto store = std::make_unique<RegistryFileStore>();
        for (const Key& key : keys) {
            store->addKey(key.path);
            for (const auto& value : key.values)
                store->setValue(key.path, value.first, value.second);
        }
        return store;
    }
    RegistryFileResult result = parseRegistryExport(exportText(backend));
    return std::move(result.store);
}

void MachineBuilder::install(Backend backend) const
{
    setRegistry(build(backend));
    QuorixConfig::instance()->resetForTesting();
}

QString backendName(MachineBuilder::Backend backend)
{
    switch (backend) {
    case MachineBuilder::Backend::Memory:
        return QStringLiteral("memory");
    case MachineBuilder::Backend::ExportUtf16Crlf:
        return QStringLiteral("export-utf16-crlf");
    case MachineBuilder::Backend::ExportUtf8Lf:
        return QStringLiteral("export-utf8-lf");
    }
    return QString();
}
