#include "crashexit.h"

void exitWithCodeOnCrash(int)
{
}
