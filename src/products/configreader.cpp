#include "configreader.h"

#include "core/logger.h"
#include "iquorixproduct.h"
#include "registry/registrystore.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {
// A folder named the Windows way (drive letter or UNC path) in another
// machine's registry is on that machine: it counts when it is named at all.
bool installDirPresent(const QString& installDir, const RegistryStore& store)
{
    static const QRegularExpression windowsForm(
        QStringLiteral("^([A-Za-z]:([\\\\/]|$)|\\\\\\\\[^\\\\])"));
    if (store.isOfAnotherMachine() && windowsForm.match(installDir).hasMatch())
        return true;
    return QFileInfo::exists(installDir);
}
} // namespace

bool ConfigReaderWindows::readConfig(IQuorixProduct* product)
{
    const QString key = product->registryKey();
    if (!store.hasValue(key, QStringLiteral("InstallDir")))
        return false;
    const QString installDir = store.value(key, QStringLiteral("InstallDir"));
    if (!installDirPresent(installDir, store)) {
        qCInfo(lcProducts).noquote()
            << QStringLiteral("Not counted: %1, whose install folder %2 does not exist")
                   .arg(key, installDir);
        return false;
    }

    product->setInstalled(true);
    product->setInstallDir(installDir);
    const QString realVersion = store.value(key, QStringLiteral("RealVersion"));
    if (!realVersion.isEmpty())
        product->setVersion(realVersion);
    product->setName(store.value(key, QStringLiteral("ProductName")));
    qCInfo(lcProducts).noquote() << QStringLiteral("Found product: ") + product->aliases().value(0);
    return true;
}
