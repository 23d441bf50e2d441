#include "console.h"

#include "console_backend.h"

#include <cstdio>

namespace {
QString* captureBuffer = nullptr;
bool messagesToStandardError = false;
} // namespace

void setMachineOutput(bool machineOutput)
{
    messagesToStandardError = machineOutput;
}

void writeMessageLine(const QString& text)
{
    if (messagesToStandardError)
        writeErrorLine(text);
    else
        writeConsoleLine(text);
}

void writeErrorLine(const QString& text)
{
    const QByteArray utf8 = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stderr);
    std::fflush(stderr);
}

QString printable(const QString& text)
{
    QString safe = text;
    for (QChar& c : safe) {
        const char16_t u = c.unicode();
        const bool control = u < 0x20 || (u >= 0x7f && u <= 0x9f);
        const bool bidi = u == 0x061c || u == 0x200e || u == 0x200f ||
                          (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
        if (control || bidi)
            c = QChar(QChar::ReplacementCharacter);
    }
    return safe;
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
