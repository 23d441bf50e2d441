#include "consolereport.h"

#include "checkresult.h"
#include "console.h"
#include "fleet.h"
#include "products/iquorixproduct.h"
#include "update/availability.h"

#include <QObject>

#include <algorithm>

void printConsoleReport(const CheckResult& result)
{
    const QString rule(79, QLatin1Char('='));
    const QList<IQuorixProduct*>& products = result.products;

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

    if (result.status != StatusCode::NoError) {
        writeConsoleLine(QStringLiteral(">>>>> ") + statusMessageFor(result.status) +
                         QStringLiteral(" <<<<<"));
        writeConsoleLine(QString());
    } else {
        writeConsoleLine(QObject::tr(" The following updates are available:"));
        writeConsoleLine(QString());
        for (const IQuorixProduct* product : products) {
            writeConsoleLine(QObject::tr("  Updates for %1").arg(printable(product->name())));
            bool anyApplied = false;
            for (const MissingPatch& missing : result.missing) {
                const PublishedPatch& patch = missing.patch;
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
    const QList<InstalledPatch>& patches = result.installedPatches;
    for (const InstalledPatch& patch : patches)
        patchSection += QStringLiteral("  - %1\n").arg(printable(patch.name));
    if (patches.isEmpty())
        patchSection += QStringLiteral("  (%1)\n").arg(QObject::tr("none"));
    writeConsoleLine(patchSection);
    writeConsoleLine(rule);
}

void printFleetReport(const QList<CheckResult>& results)
{
    const QString rule(79, QLatin1Char('='));
    QList<QStringList> rows{fleetColumnTitles()};
    for (const CheckResult& result : results)
        rows << (QStringList{printable(result.machine)} + fleetRowCounts(result) +
                 QStringList{machineStateText(result)});
    QList<qsizetype> widths(rows.first().size(), 0);
    for (const QStringList& row : rows) {
        for (qsizetype column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], row.at(column).size());
    }
    writeConsoleLine(rule);
    writeConsoleLine(QLatin1Char(' ') +
                     QObject::tr("Quorix updates on %1 machines").arg(results.size()));
    if (!results.isEmpty())
        writeConsoleLine(QLatin1Char(' ') + printable(fleetListLine(results.first())));
    writeConsoleLine(QString());
    for (const QStringList& row : rows) {
        QString line = QLatin1Char(' ') + row.first().leftJustified(widths.first());
        // The numbers right-aligned, the state as it is.
        for (qsizetype column = 1; column + 1 < row.size(); ++column)
            line += QStringLiteral("  ") + row.at(column).rightJustified(widths.at(column));
        writeConsoleLine(line + QStringLiteral("  ") + row.last());
    }
    writeConsoleLine(rule);
    for (const CheckResult& result : results) {
        writeConsoleLine(QString());
        writeConsoleLine(QLatin1Char(' ') +
                         QObject::tr("Machine %1").arg(printable(result.machine)));
        if (!result.exportError.isEmpty())
            writeConsoleLine(QLatin1Char(' ') + printable(result.exportError));
        printConsoleReport(result);
    }
}
