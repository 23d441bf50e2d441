#include "console.h"
#include "console_backend.h"

#include <cstdio>

void writeToStandardOutput(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout);
    std::fflush(stdout);
}

void prepareConsoleOutput() {}
