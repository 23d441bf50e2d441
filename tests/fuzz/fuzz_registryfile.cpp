// libFuzzer target for the registry export reader: any bytes are either read
// or rejected, never a crash, a hang or undefined behaviour; read whole, and
// read as discovery reads an export (one tree whole, one value of a list,
// the rest passed over on the raw bytes) within small bounds.
// Built with -DSKYVANE_FUZZ=ON by clang; see tests/fuzz/run_fuzz.sh.

#include "registry/registryfile.h"

#include <QLoggingCategory>

#include <cstdint>

// The reader's warnings would only slow the runs down.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("skyvane.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    parseRegistryExport(bytes);
    ExportSelection selection;
    selection.keepsKey = [](QStringView path) {
        return startsWithRegistryName(path, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\T") ||
               startsWithRegistryName(path, u"HKLM\\SOFTWARE\\U");
    };
    selection.keepsWhole = [](QStringView path) { return !path.contains(u"\\U"); };
    selection.keepsValue = [](const QString&, const QString&, const QString& text) {
        return text.size() % 2 == 0;
    };
    selection.valueName = QStringLiteral("DisplayName");
    parseRegistryExport(bytes, selection, ExportBounds{32768, 256, 64, 4096});
    return 0;
}
