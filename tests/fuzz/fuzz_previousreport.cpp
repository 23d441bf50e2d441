// libFuzzer target for the reader of earlier JSON reports (/since): any bytes
// are read as a report or refused, never a crash, a hang or undefined
// behaviour. Built with -DSKYVANE_FUZZ=ON by clang; see tests/fuzz/run_fuzz.sh.

#include "report/previousreport.h"

#include <QBuffer>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer input(&bytes);
    input.open(QIODevice::ReadOnly);
    const Result<PreviousReport> report = parsePreviousReport(input);
    if (report.ok()) {
        for (const PreviousMachine& machine : report.value().machines)
            (void)report.value().machine(machine.name);
    }
    return 0;
}
