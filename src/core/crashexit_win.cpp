#include "crashexit.h"

#include <windows.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {
UINT crashExitCode = 3;

// Only what cannot allocate: the heap may be the thing that broke.
void writeError(const char* text, DWORD code, bool withCode)
{
    char line[96];
    int length = 0;
    for (const char* c = text; *c && length < 80; ++c)
        line[length++] = *c;
    if (withCode) {
        static const char digits[] = "0123456789ABCDEF";
        line[length++] = ' ';
        line[length++] = '0';
        line[length++] = 'x';
        for (int shift = 28; shift >= 0; shift -= 4)
            line[length++] = digits[(code >> shift) & 0xf];
    }
    line[length++] = '\n';
    DWORD written = 0;
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error && error != INVALID_HANDLE_VALUE)
        WriteFile(error, line, DWORD(length), &written, nullptr);
}

[[noreturn]] void endProcess()
{
    // Nothing of the broken process runs again: no atexit handler, no destructor.
    TerminateProcess(GetCurrentProcess(), crashExitCode);
    std::_Exit(int(crashExitCode));
}

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS* exception)
{
    writeError("Skyvane stopped after an unexpected error: exception",
               exception && exception->ExceptionRecord ? exception->ExceptionRecord->ExceptionCode
                                                       : 0,
               true);
    endProcess();
}

void onAbort(int)
{
    writeError("Skyvane stopped after an unexpected error: abort", 0, false);
    endProcess();
}

void onTerminate()
{
    writeError("Skyvane stopped after an unexpected error: uncaught exception", 0, false);
    endProcess();
}
} // namespace

void exitWithCodeOnCrash(int exitCode)
{
    crashExitCode = UINT(exitCode);
    // A corrupt heap ends the process at once instead of running on.
    HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
    // No "program stopped working" box that waits for a person.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(onUnhandledException);
    std::signal(SIGABRT, onAbort);
    std::set_terminate(onTerminate);
}

void endProcessNow(int exitCode)
{
    endProcess(exitCode);
}

void endProcess(int exitCode)
{
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), UINT(exitCode));
    std::_Exit(exitCode);
}
