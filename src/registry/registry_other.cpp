#include "registryfile.h"

// Without a Windows registry, the machine has no products until a registry
// export is loaded.
std::unique_ptr<RegistryStore> createNativeRegistry()
{
    return std::make_unique<RegistryFileStore>();
}
