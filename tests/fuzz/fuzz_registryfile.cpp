// libFuzzer target for the registry export reader: any bytes are either read
// or rejected, never a crash, a hang or undefined behaviour.
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
    parseRegistryExport(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
