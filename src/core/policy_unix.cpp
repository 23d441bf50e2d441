#include "policy.h"

// No Group Policy here: the settings are the user's and the machine-wide ones.
Policy readPolicy()
{
    return {};
}
