#include "machineoutput.h"

#include "console.h"
#include "fleet.h"
#include "fleethtml.h"
#include "products/iquorixproduct.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QJsonValue orNull(const std::optional<qint64>& number)
{
    return number ? QJsonValue(double(*number)) : QJsonValue();
}

QString labelValue(QString text)
{
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
}
} // namespace

QString listStateName(ListState state)
{
    switch (state) {
    case ListState::Ok:
        return QStringLiteral("ok");
    case ListState::Unreachable:
        return QStringLiteral("unreachable");
    case ListState::Invalid:
        return QStringLiteral("invalid");
    case ListState::TooLarge:
        return QStringLiteral("too-large");
    }
    return QString();
}

namespace {
QJsonObject reportObject(const CheckResult& result)
{
    QJsonArray products;
    for (const IQuorixProduct* product : result.products) {
        QJsonArray missing;
        for (const MissingPatch& m : result.missingFor(product))
            missing.append(
                QJsonObject{{"name", m.patch.Name},
                            {"url", m.patch.url},
                            {"products", m.patch.Products},
                            {"security", m.security},
                            {"releaseDate", m.patch.ReleaseDate},
                            {"released", m.released ? QJsonValue(m.released->toString(Qt::ISODate))
                                                    : QJsonValue()},
                            {"ageDays", orNull(m.ageDays)},
                            {"inGrace", m.inGrace}});
        products.append(QJsonObject{{"name", product->name()},
                                    {"version", product->version()},
                                    {"installDir", product->installDir()},
                                    {"missing", missing}});
    }
    QJsonArray installed;
    for (const InstalledPatch& patch : result.installedPatches)
        installed.append(QJsonObject{{"name", patch.name}, {"qfeId", patch.qfeId}});
    QJsonObject report{{"schemaVersion", 1},
                       {"skyvaneVersion", QCoreApplication::applicationVersion()},
                       {"checkedAt", result.checkedAt.toString(Qt::ISODate)},
                       {"machine", result.machine},
                       {"list", QJsonObject{{"source", result.listSource},
                                            {"state", listStateName(result.listState)},
                                            {"bytes", double(result.listBytes)},
                                            {"versions", result.versions},
                                            {"patches", result.patches}}},
                       {"products", products},
                       {"installedPatches", installed},
                       {"counts", QJsonObject{{"missing", int(result.missing.size())},
                                              {"security", result.securityCount()},
                                              {"oldestDays", orNull(result.oldestAgeDays())},
                                              {"graceDays", result.graceDays}}},
                       {"status", QJsonObject{{"code", int(result.status)},
                                              {"message", statusMessageFor(result.status)}}}};
    if (!result.exportError.isEmpty())
        report.insert("exportError", result.exportError);
    return report;
}

const char* const stateNames[] = {"OK", "WARNING", "CRITICAL", "UNKNOWN"};

QString stateName(CheckState state)
{
    return QLatin1String(stateNames[int(state)]);
}

// "|" would start performance data, in long output too.
QString longOutputText(const QString& text)
{
    return printable(text).replace(QLatin1Char('|'), QChar(0x00a6));
}

QString patchLines(const CheckResult& result, const QString& indent)
{
    QString text;
    for (const IQuorixProduct* product : result.products) {
        for (const MissingPatch& m : result.missingFor(product)) {
            QStringList notes;
            if (m.security)
                notes << QStringLiteral("security");
            if (m.ageDays)
                notes << QStringLiteral("%1 days").arg(*m.ageDays);
            if (m.inGrace)
                notes << QStringLiteral("in grace");
            text += indent + longOutputText(product->name() + QStringLiteral(": ") + m.patch.Name) +
                    (notes.isEmpty() ? QString()
                                     : QStringLiteral(" (") + notes.join(QStringLiteral(", ")) +
                                           QLatin1Char(')')) +
                    QLatin1Char('\n');
        }
    }
    return text;
}

QString performanceData(const QList<std::pair<const char*, qint64>>& values)
{
    QStringList parts;
    for (const auto& [label, value] : values)
        parts << QStringLiteral("%1=%2;;;0").arg(QLatin1String(label)).arg(value);
    return parts.join(QLatin1Char(' '));
}
} // namespace

QByteArray jsonReport(const CheckResult& result)
{
    return QJsonDocument(reportObject(result)).toJson(QJsonDocument::Indented);
}

QByteArray jsonFleetReport(const QList<CheckResult>& results)
{
    QJsonArray machines;
    QJsonObject states{{"ok", 0}, {"warning", 0}, {"critical", 0}, {"unknown", 0}};
    int missing = 0;
    int security = 0;
    for (const CheckResult& result : results) {
        machines.append(reportObject(result));
        const QString state = stateName(machineCheck(result).state).toLower();
        states[state] = states[state].toInt() + 1;
        missing += int(result.missing.size());
        security += result.securityCount();
    }
    QJsonObject summary{{"machines", int(results.size())},
                        {"state", stateName(worstState(results)).toLower()},
                        {"missing", missing},
                        {"security", security}};
    for (auto it = states.constBegin(); it != states.constEnd(); ++it)
        summary.insert(it.key(), it.value());
    const QJsonObject report{{"schemaVersion", 1},
                             {"skyvaneVersion", QCoreApplication::applicationVersion()},
                             {"checkedAt", results.isEmpty()
                                               ? QString()
                                               : results.first().checkedAt.toString(Qt::ISODate)},
                             {"summary", summary},
                             {"machines", machines}};
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}

MachineCheck machineCheck(const CheckResult& result)
{
    if (result.status == StatusCode::ConfigurationReadError)
        return {CheckState::Unknown, QStringLiteral("registry export unreadable")};
    if (result.listState != ListState::Ok) {
        QString summary = QStringLiteral("patch list ") + listStateName(result.listState);
        if (result.listState == ListState::Unreachable)
            summary += QStringLiteral(": ") + statusMessageFor(result.status);
        return {CheckState::Unknown, summary};
    }
    const CheckState state = result.raises(true)    ? CheckState::Critical
                             : result.raises(false) ? CheckState::Warning
                                                    : CheckState::Ok;
    const int count = int(result.missing.size());
    const std::optional<qint64> oldest = result.oldestAgeDays();
    return {state,
            count == 0
                ? QStringLiteral("no updates missing")
                : QStringLiteral("%1 updates missing (%2 security%3)")
                      .arg(QString::number(count), QString::number(result.securityCount()),
                           oldest ? QStringLiteral(", oldest %1 days").arg(*oldest) : QString())};
}

NagiosCheck nagiosReport(const CheckResult& result)
{
    const MachineCheck check = machineCheck(result);
    const QString text =
        QStringLiteral("SKYVANE %1 - %2|").arg(stateName(check.state), printable(check.summary)) +
        performanceData({{"missing", result.missing.size()},
                         {"security", result.securityCount()},
                         {"oldest_days", result.oldestAgeDays().value_or(0)}}) +
        QLatin1Char('\n') + patchLines(result, QString());
    return {text.toUtf8(), int(check.state)};
}

NagiosCheck nagiosFleetReport(const QList<CheckResult>& results)
{
    qint64 counts[4] = {};
    qint64 missing = 0;
    qint64 security = 0;
    qint64 oldest = 0;
    QString details;
    for (const CheckResult& result : worstFirst(results)) {
        const MachineCheck check = machineCheck(result);
        ++counts[int(check.state)];
        missing += result.missing.size();
        security += result.securityCount();
        oldest = std::max(oldest, result.oldestAgeDays().value_or(0));
        details += longOutputText(result.machine) + QStringLiteral(": ") + stateName(check.state) +
                   QStringLiteral(" - ") + longOutputText(check.summary) + QLatin1Char('\n') +
                   patchLines(result, QStringLiteral("  "));
    }
    const CheckState worst = worstState(results);
    const QString summary =
        QStringLiteral("%1 machines: %2 critical, %3 warning, %4 unknown, %5 ok")
            .arg(results.size())
            .arg(counts[int(CheckState::Critical)])
            .arg(counts[int(CheckState::Warning)])
            .arg(counts[int(CheckState::Unknown)])
            .arg(counts[int(CheckState::Ok)]);
    const QString text = QStringLiteral("SKYVANE %1 - %2|").arg(stateName(worst), summary) +
                         performanceData({{"machines", results.size()},
                                          {"critical", counts[int(CheckState::Critical)]},
                                          {"warning", counts[int(CheckState::Warning)]},
                                          {"unknown", counts[int(CheckState::Unknown)]},
                                          {"missing", missing},
                                          {"security", security},
                                          {"oldest_days", oldest}}) +
                         QLatin1Char('\n') + details;
    return {text.toUtf8(), int(worst)};
}

QByteArray prometheusReport(const CheckResult& result)
{
    return prometheusReport({result}, false);
}

QByteArray prometheusReport(const QList<CheckResult>& results, bool labelMachines)
{
    QString out;
    const auto metric = [&out](const char* name, const char* help) {
        out += QStringLiteral("# HELP skyvane_%1 %2\n# TYPE skyvane_%1 gauge\n")
                   .arg(QLatin1String(name), QLatin1String(help));
    };
    // One sample: the machine's label first when there is one.
    const auto sample = [&out, labelMachines](const char* name, const CheckResult& result,
                                              const QString& labels, const QString& value) {
        QStringList all;
        if (labelMachines)
            all << QStringLiteral("machine=\"%1\"").arg(labelValue(result.machine));
        if (!labels.isEmpty())
            all << labels;
        out += QStringLiteral("skyvane_") + QLatin1String(name) +
               (all.isEmpty() ? QString()
                              : QLatin1Char('{') + all.join(QLatin1Char(',')) + QLatin1Char('}')) +
               QLatin1Char(' ') + value + QLatin1Char('\n');
    };
    const auto productLabel = [](const IQuorixProduct* product) {
        return QStringLiteral("product=\"%1\"").arg(labelValue(product->name()));
    };
    metric("missing_patches", "Missing patches that name an installed product, by security flag.");
    for (const CheckResult& result : results) {
        for (const IQuorixProduct* product : result.products) {
            const QList<MissingPatch> missing = result.missingFor(product);
            for (const bool security : {true, false}) {
                const auto count = std::count_if(
                    missing.begin(), missing.end(),
                    [security](const MissingPatch& m) { return m.security == security; });
                sample("missing_patches", result,
                       productLabel(product) +
                           QStringLiteral(",security=\"%1\"")
                               .arg(security ? QStringLiteral("true") : QStringLiteral("false")),
                       QString::number(count));
            }
        }
    }
    metric("oldest_missing_patch_age_days",
           "Age in days of the oldest missing patch with a known release date.");
    for (const CheckResult& result : results) {
        for (const IQuorixProduct* product : result.products) {
            if (const auto oldest = oldestAge(result.missingFor(product)))
                sample("oldest_missing_patch_age_days", result, productLabel(product),
                       QString::number(*oldest));
        }
    }
    metric("installed_product", "An installed product and its version.");
    for (const CheckResult& result : results) {
        for (const IQuorixProduct* product : result.products)
            sample("installed_product", result,
                   productLabel(product) +
                       QStringLiteral(",version=\"%1\"").arg(labelValue(product->version())),
                   QStringLiteral("1"));
    }
    metric("patch_list_state", "The state of the patch list: 1 for the state it is in.");
    for (const CheckResult& result : results) {
        for (const ListState state :
             {ListState::Ok, ListState::Unreachable, ListState::Invalid, ListState::TooLarge})
            sample("patch_list_state", result,
                   QStringLiteral("state=\"%1\"").arg(listStateName(state)),
                   state == result.listState ? QStringLiteral("1") : QStringLiteral("0"));
    }
    metric("status_code",
           "The run's status code: 0 no error, 1 configuration, 2 settings, 3 network.");
    for (const CheckResult& result : results)
        sample("status_code", result, QString(), QString::number(int(result.status)));
    metric("check_timestamp_seconds", "When the check ran, in seconds since 1970 (UTC).");
    for (const CheckResult& result : results)
        sample("check_timestamp_seconds", result, QString(),
               QString::number(result.checkedAt.toSecsSinceEpoch()));
    return out.toUtf8();
}

int writeMachineOutput(const QString& format, const QList<CheckResult>& results, bool fleet,
                       int runExitCode)
{
    if (format == QLatin1String("nagios")) {
        const NagiosCheck check =
            fleet ? nagiosFleetReport(results) : nagiosReport(results.first());
        writeConsole(QString::fromUtf8(check.text));
        return check.exitCode;
    }
    QByteArray text;
    if (format == QLatin1String("json"))
        text = fleet ? jsonFleetReport(results) : jsonReport(results.first());
    else if (format == QLatin1String("prometheus"))
        text = prometheusReport(results, fleet);
    else
        text = htmlFleetReport(results);
    writeConsole(QString::fromUtf8(text));
    return runExitCode;
}
