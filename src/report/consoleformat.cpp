// The console report of one machine (installed products, the updates each
// lacks, installed patches), and a fleet's: a table of the machines, then each
// machine's report under its name.

#include "core/console.h"
#include "products/iquorixproduct.h"
#include "reportformat.h"
#include "update/availability.h"

#include <QCoreApplication>
#include <QObject>

#include <algorithm>

namespace {
// The translation context of this file's texts.
struct ConsoleReport
{
    Q_DECLARE_TR_FUNCTIONS(ConsoleReport)
};
} // namespace

namespace {
QString consoleReportText(const CheckResult& result)
{
    const QString rule(79, QLatin1Char('='));
    const QList<IQuorixProduct*>& products = result.products;
    QString text;
    const auto addLine = [&text](const QString& line) {
        text += line;
        text += QLatin1Char('\n');
    };

    addLine(rule);
    addLine(QString(13, QLatin1Char(' ')) +
            QStringLiteral("Quorix for Server and Extensions Sky Vane") +
            QString(15, QLatin1Char(' ')));
    addLine(rule);
    addLine(QString());
    addLine(ConsoleReport::tr(" Installed products:"));
    addLine(QString());
    for (const IQuorixProduct* product : products)
        addLine(QStringLiteral("    ") + printable(product->name()));
    addLine(QString());
    addLine(rule);
    addLine(QString());

    if (result.keptListAgeSeconds) {
        addLine(QStringLiteral(">>>>> ") +
                ConsoleReport::tr("The patch list kept %1 hours ago stands in: %2")
                    .arg(QString::number(*result.keptListAgeSeconds / 3600),
                         printable(result.listProblem)) +
                QStringLiteral(" <<<<<"));
        addLine(QString());
    }
    if (result.status != StatusCode::NoError && !result.keptListAgeSeconds) {
        addLine(QStringLiteral(">>>>> ") + statusMessageFor(result.status) +
                QStringLiteral(" <<<<<"));
        addLine(QString());
    } else {
        addLine(ConsoleReport::tr(" The following updates are available:"));
        addLine(QString());
        for (const IQuorixProduct* product : products) {
            addLine(ConsoleReport::tr("  Updates for %1").arg(printable(product->name())));
            bool anyApplied = false;
            for (const MissingPatch& missing : result.missing) {
                const PublishedPatch& patch = missing.patch;
                if (!missing.products.contains(product))
                    continue;
                anyApplied = true;
                addLine(QStringLiteral("    - %1\n").arg(printable(patch.Name)) +
                        QStringLiteral("    - %1\n").arg(printable(patch.url)));
            }
            if (!anyApplied)
                addLine(QStringLiteral("    (") + ConsoleReport::tr("no updates available") +
                        QStringLiteral(")"));
        }
        addLine(QString());
    }

    addLine(rule);
    addLine(QString());

    QString patchSection = ConsoleReport::tr(" Installed Patches:\n");
    const QList<InstalledPatch>& patches = result.installedPatches;
    for (const InstalledPatch& patch : patches)
        patchSection += QStringLiteral("  - %1\n").arg(printable(patch.name));
    if (patches.isEmpty())
        patchSection += QStringLiteral("  (%1)\n").arg(ConsoleReport::tr("none"));
    addLine(patchSection);
    addLine(rule);
    return text;
}

class ConsoleFormat : public ReportFormat
{
public:
    void writeMachine(const CheckResult& result, QByteArray& out) const override
    {
        out += consoleReportText(result).toUtf8();
    }
    void writeFleetHead(const QList<FleetRow>& rows, const CheckResult& anyResult,
                        QByteArray& out) const override
    {
        const std::optional<FleetChanges> changes = fleetChanges(rows, anyResult);
        QList<QStringList> table{fleetColumnTitles(changes.has_value())};
        for (const FleetRow& row : rows)
            table << fleetRowTexts(row);
        QList<qsizetype> widths(table.first().size(), 0);
        for (const QStringList& line : table) {
            for (qsizetype column = 0; column < line.size(); ++column)
                widths[column] = std::max(widths[column], line.at(column).size());
        }
        const QString rule(79, QLatin1Char('='));
        QString text = rule + QLatin1Char('\n') + QLatin1Char(' ') + fleetTitle(rows.size()) +
                       QStringLiteral("\n ") + fleetListLine(anyResult) + QLatin1Char('\n');
        if (changes)
            text += QLatin1Char(' ') + fleetChangesLine(*changes) + QLatin1Char('\n');
        text += QLatin1Char('\n');
        for (const QStringList& line : table) {
            text += QLatin1Char(' ') + line.first().leftJustified(widths.first());
            // The numbers right-aligned, the state as it is.
            for (qsizetype column = 1; column + 1 < line.size(); ++column)
                text += QStringLiteral("  ") + line.at(column).rightJustified(widths.at(column));
            text += QStringLiteral("  ") + line.last() + QLatin1Char('\n');
        }
        out += (text + rule + QLatin1Char('\n')).toUtf8();
    }
    QList<QByteArray> fleetMachineParts(const CheckResult& result, const FleetRow&) const override
    {
        QString text = QStringLiteral("\n ") +
                       ConsoleReport::tr("Machine %1").arg(printable(result.machine)) +
                       QLatin1Char('\n');
        if (!result.exportError.isEmpty())
            text += QLatin1Char(' ') + printable(result.exportError) + QLatin1Char('\n');
        if (const QString note = exportCoverageNote(result); !note.isEmpty())
            text += QLatin1Char(' ') + note + QLatin1Char('\n');
        return {(text + consoleReportText(result)).toUtf8()};
    }
};
} // namespace

std::unique_ptr<ReportFormat> makeConsoleFormat()
{
    return std::make_unique<ConsoleFormat>();
}
