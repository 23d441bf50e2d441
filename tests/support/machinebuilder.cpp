#include "machinebuilder.h"

#include "products/quorixconfig.h"

#include <QDir>

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

QByteArray MachineBuilder::exportText(Backend backend) const
{
    const QString eol = backend == Backend::RegeditUtf16Crlf ? QStringLiteral("\r\n")
                        : backend == Backend::Regedit4CrOnly ? QStringLiteral("\r")
                                                             : QStringLiteral("\n");
    QString text = (backend == Backend::Regedit4CrOnly
                        ? QStringLiteral("REGEDIT4")
                        : QStringLiteral("Windows Registry Editor Version 5.00")) +
                   eol + eol;
    for (const Key& key : keys) {
        text += QLatin1Char('[') + key.path + QLatin1Char(']') + eol;
        for (const auto& value : key.values)
            text += quoted(value.first) + QLatin1Char('=') + quoted(value.second) + eol;
        text += eol;
    }
    switch (backend) {
    case Backend::RegeditUtf16Crlf:
        return QByteArray("\xff\xfe", 2) +
               QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    case Backend::Utf8Lf:
        return text.toUtf8();
    case Backend::Regedit4CrOnly:
    case Backend::AnsiVersion5:
        return text.toLatin1();
    }
    return {};
}

void MachineBuilder::install(Backend backend) const
{
    setRegistry(parseRegistryExport(exportText(backend)).store);
    QuorixConfig::instance()->resetForTesting();
}

QString MachineBuilder::backendName(Backend backend)
{
    switch (backend) {
    case Backend::RegeditUtf16Crlf:
        return QStringLiteral("regedit UTF-16LE CRLF");
    case Backend::Utf8Lf:
        return QStringLiteral("UTF-8 LF");
    case Backend::Regedit4CrOnly:
        return QStringLiteral("REGEDIT4 CR");
    case Backend::AnsiVersion5:
        return QStringLiteral("ANSI version 5");
    }
    return QString();
}
