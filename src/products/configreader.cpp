#include "configreader.h"

#include "app/logger.h"
#include "iquorixproduct.h"
#include "registry/registrystore.h"

#include <QFileInfo>

bool ConfigReaderWindows::readConfig(IQuorixProduct* product)
{
    const RegistryStore& store = registry();
    const QString key = product->registryKey();
    if (!store.hasValue(key, QStringLiteral("InstallDir")))
        return false;
    const QString installDir = store.value(key, QStringLiteral("InstallDir"));
    if (!QFileInfo::exists(installDir))
        return false;

    product->setInstalled(true);
    product->setInstallDir(installDir);
    const QString realVersion = store.value(key, QStringLiteral("RealVersion"));
    if (!realVersion.isEmpty())
        product->setVersion(realVersion);
    product->setName(store.value(key, QStringLiteral("ProductName")));
    Logger::instance()->log(LogLevel::Info,
                            QStringLiteral("Found product: ") + product->aliases().value(0));
    return true;
}
