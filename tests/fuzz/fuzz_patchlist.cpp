// libFuzzer target for the patch-list reader: any bytes are either read as a
// list or refused, never a crash, a hang or undefined behaviour; read whole,
// as text, and as a check reads them, keeping the patches of two versions.
// Built with -DSKYVANE_FUZZ=ON by clang; see tests/fuzz/run_fuzz.sh.

#include "update/patchlist.h"

#include <QLoggingCategory>
#include <QStringList>

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("skyvane.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)parsePatchListBytes(bytes);
    const QStringList wanted{QStringLiteral("10.3"), QStringLiteral("1")};
    (void)parsePatchListBytes(bytes, &wanted);
    (void)parsePatchListText(QString::fromUtf8(bytes));
    return 0;
}
