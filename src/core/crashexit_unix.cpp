#include "crashexit.h"

#include <cstdio>
#include <cstdlib>

void exitWithCodeOnCrash(int) {}

void endProcessNow(int exitCode)
{
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void endProcess(int exitCode)
{
    std::exit(exitCode);
}
