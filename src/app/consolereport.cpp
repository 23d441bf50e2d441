#include "consolereport.h"

#include "common.h"
#include "console.h"
#include "products/iquorixproduct.h"
#include "products/quorixconfig.h"
#include "update/availability.h"

#include <QObject>

void printConsoleReport(const QList<PublishedPatch>& available)
{
    const QString rule(79, QLatin1Char('='));
    QuorixConfig* config = QuorixConfig::instance();
    const QList<IQuorixProduct*> products = config->installedProducts();
    Common* common = Common::instance();

    writeConsoleLine(rule);
    writeConsoleLine(QString(13, QLatin1Char(' ')) +
                     QStringLiteral("Quorix for Server and Extensions Sky Vane") +
                     QString(15, QLatin1Char(' ')));
    writeConsoleLine(rule);
    writeConsoleLine(QString());
    writeConsoleLine(QObject::tr(" Installed products:"));
    writeConsoleLine(QString());
    for (const IQuorixProduct* product : products)
        writeConsoleLine(QStringLiteral("    ") + printable(product->name()));
    writeConsoleLine(QString());
    writeConsoleLine(rule);
    writeConsoleLine(QString());

    if (common->status != StatusCode::NoError) {
        writeConsoleLine(QStringLiteral(">>>>> ") + common->statusMessage() +
                         QStringLiteral(" <<<<<"));
        writeConsoleLine(QString());
    } else {
        writeConsoleLine(QObject::tr(" The following updates are available:"));
        writeConsoleLine(QString());
        for (const IQuorixProduct* product : products) {
            writeConsoleLine(QObject::tr("  Updates for %1").arg(printable(product->name())));
            bool anyApplied = false;
            for (const PublishedPatch& patch : available) {
                if (!productMatchesPatch(product, patch))
                    continue;
                anyApplied = true;
                writeConsoleLine(QStringLiteral("    - %1\n").arg(printable(patch.Name)) +
                                 QStringLiteral("    - %1\n").arg(printable(patch.url)));
            }
            if (!anyApplied)
                writeConsoleLine(QStringLiteral("    (") + QObject::tr("no updates available") +
                                 QStringLiteral(")"));
        }
        writeConsoleLine(QString());
    }

    writeConsoleLine(rule);
    writeConsoleLine(QString());

    QString patchSection = QObject::tr(" Installed Patches:\n");
    const QList<InstalledPatch> patches = config->installedPatches();
    for (const InstalledPatch& patch : patches)
        patchSection += QStringLiteral("  - %1\n").arg(printable(patch.name));
    if (patches.isEmpty())
        patchSection += QStringLiteral("  (%1)\n").arg(QObject::tr("none"));
    writeConsoleLine(patchSection);
    writeConsoleLine(rule);
}
