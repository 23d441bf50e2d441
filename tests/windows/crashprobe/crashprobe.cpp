// Dies the way its argument names, after the crash exit start-up installs:
// the Windows test checks that each way ends with that exit code.
#include "core/crashexit.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

int main(int argc, char** argv)
{
    exitWithCodeOnCrash(3);
    const char* how = argc > 1 ? argv[1] : "";
    if (std::strcmp(how, "access") == 0) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    } else if (std::strcmp(how, "abort") == 0) {
        std::abort();
    } else if (std::strcmp(how, "throw") == 0) {
        throw std::runtime_error("nobody catches this");
    }
    return 0;
}
