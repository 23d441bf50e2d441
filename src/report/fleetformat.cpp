#include "fleetformat.h"

#include "core/console.h"

#include <QObject>

#include <algorithm>

namespace {
int severity(CheckState state)
{
    switch (state) {
    case CheckState::Ok:
        return 0;
    case CheckState::Warning:
        return 1;
    case CheckState::Unknown:
        return 2;
    case CheckState::Critical:
        return 3;
    }
    return 0;
}

QString stateText(const CheckResult& result, CheckState state)
{
    switch (state) {
    case CheckState::Unknown:
        return result.exportError.isEmpty() ? QObject::tr("no patch list")
                                            : QObject::tr("export unreadable");
    case CheckState::Critical:
        return QObject::tr("security updates missing");
    case CheckState::Warning:
        return QObject::tr("updates missing");
    case CheckState::Ok:
        break;
    }
    if (result.products.isEmpty())
        return QObject::tr("no products");
    return result.missing.isEmpty() ? QObject::tr("up to date") : QObject::tr("in grace period");
}
} // namespace

FleetRow fleetRow(const CheckResult& result, int index)
{
    FleetRow row;
    row.index = index;
    row.machine = result.machine;
    row.exportError = result.exportError;
    row.products = int(result.products.size());
    row.missing = int(result.missing.size());
    row.security = result.securityCount();
    row.oldestDays = result.oldestAgeDays();
    row.state = machineCheck(result).state;
    row.stateText = stateText(result, row.state);
    row.status = result.status;
    return row;
}

QStringList fleetColumnTitles()
{
    return {QObject::tr("Machine"),  QObject::tr("Products"),      QObject::tr("Missing"),
            QObject::tr("Security"), QObject::tr("Oldest (days)"), QObject::tr("State")};
}

QStringList fleetRowTexts(const FleetRow& row)
{
    const QString none = QStringLiteral("-");
    const bool read = row.exportError.isEmpty();
    return {printable(row.machine),
            read ? QString::number(row.products) : none,
            read ? QString::number(row.missing) : none,
            read ? QString::number(row.security) : none,
            read && row.oldestDays ? QString::number(*row.oldestDays) : none,
            row.stateText};
}

QString fleetTitle(qsizetype machines)
{
    return machines == 1 ? QObject::tr("Quorix updates on 1 machine")
                         : QObject::tr("Quorix updates on %1 machines").arg(machines);
}

QString fleetListLine(const CheckResult& anyResult)
{
    return QObject::tr("Checked %1 UTC against the patch list %2 (%3).")
        .arg(anyResult.checkedAt.toString(QStringLiteral("yyyy-MM-dd hh:mm")),
             printable(anyResult.listSource), listStateName(anyResult.listState));
}

CheckState worstState(const QList<FleetRow>& rows)
{
    CheckState worst = CheckState::Ok;
    for (const FleetRow& row : rows) {
        if (severity(row.state) > severity(worst))
            worst = row.state;
    }
    return worst;
}

QList<FleetRow> worstFirst(QList<FleetRow> rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const FleetRow& a, const FleetRow& b) {
        if (a.state != b.state)
            return severity(a.state) > severity(b.state);
        if (a.missing != b.missing)
            return a.missing > b.missing;
        return a.machine < b.machine;
    });
    return rows;
}

std::optional<OutputFormat> machineFormatNamed(const QString& name)
{
    static const struct
    {
        const char* name;
        OutputFormat format;
    } formats[] = {{"json", OutputFormat::Json},
                   {"nagios", OutputFormat::Nagios},
                   {"prometheus", OutputFormat::Prometheus},
                   {"html", OutputFormat::Html}};
    for (const auto& entry : formats) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.format;
    }
    return std::nullopt;
}

std::unique_ptr<FleetFormat> fleetFormat(OutputFormat format)
{
    switch (format) {
    case OutputFormat::Json:
        return jsonFleetFormat();
    case OutputFormat::Nagios:
        return nagiosFleetFormat();
    case OutputFormat::Prometheus:
        return prometheusFleetFormat();
    case OutputFormat::Html:
        return htmlFleetFormat();
    case OutputFormat::Console:
        break;
    }
    return consoleFleetFormat();
}
