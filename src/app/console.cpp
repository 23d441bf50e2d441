#include "console.h"

#include "console_backend.h"

namespace {
QString* captureBuffer = nullptr;
}

void setConsoleCapture(QString* buffer)
{
    captureBuffer = buffer;
}

void writeConsole(const QString& text)
{
    if (captureBuffer) {
        captureBuffer->append(text);
        return;
    }
    writeToStandardOutput(text);
}

void writeConsoleLine(const QString& text)
{
    writeConsole(text + QLatin1Char('\n'));
}
