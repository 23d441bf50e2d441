#include "machineoutput.h"

#include "core/console.h"
#include "fleetformat.h"
#include "products/iquorixproduct.h"
#include "update/availability.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QJsonValue orNull(const std::optional<qint64>& number)
{
    return number ? QJsonValue(double(*number)) : QJsonValue();
}

// JSON text must be Unicode: Qt writes a surrogate outside a pair (a
// registry text may hold one) as its escape, which consumers such as jq
// refuse; it becomes U+FFFD. Pairs are written as UTF-8, never escaped.
QByteArray validUnicode(QByteArray json)
{
    for (qsizetype i = 0; i + 1 < json.size(); ++i) {
        if (json[i] != '\\')
            continue;
        if (json[i + 1] == 'u' && i + 5 < json.size() &&
            (json[i + 2] == 'd' || json[i + 2] == 'D') &&
            QByteArrayLiteral("89abAB").contains(json[i + 3]))
            json.replace(i + 2, 4, "fffd");
        ++i; // the escaped character
    }
    return json;
}

QString labelValue(QString text)
{
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

QJsonObject listObject(const CheckResult& result)
{
    QJsonObject list{{"source", result.listSource},
                     {"state", listStateName(result.listState)},
                     {"bytes", double(result.listBytes)},
                     {"versions", result.versions},
                     {"patches", result.patches}};
    if (!result.listProblem.isEmpty())
        list.insert("problem", result.listProblem);
    return list;
}
} // namespace

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
                       {"list", listObject(result)},
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

// "|" would start performance data, in long output too.
QString longOutputText(const QString& text)
{
    return printable(text).replace(QLatin1Char('|'), QChar(0x00a6));
}

// One line per missing patch, after the products it applies to, so that the
// lines and the count agree.
QString patchLines(const CheckResult& result, const QString& indent)
{
    QString text;
    for (const MissingPatch& m : result.missing) {
        QStringList products;
        for (const IQuorixProduct* product : m.products)
            products << product->name();
        QStringList notes;
        if (m.security)
            notes << QStringLiteral("security");
        if (m.ageDays)
            notes << QStringLiteral("%1 days").arg(*m.ageDays);
        if (m.inGrace)
            notes << QStringLiteral("in grace");
        text += indent +
                longOutputText(products.join(QStringLiteral(", ")) + QStringLiteral(": ") +
                               m.patch.Name) +
                (notes.isEmpty()
                     ? QString()
                     : QStringLiteral(" (") + notes.join(QStringLiteral(", ")) + QLatin1Char(')')) +
                QLatin1Char('\n');
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
    return validUnicode(QJsonDocument(reportObject(result)).toJson(QJsonDocument::Indented));
}

NagiosCheck nagiosReport(const CheckResult& result)
{
    const MachineCheck check = machineCheck(result);
    const QString text = QStringLiteral("SKYVANE %1 - %2|")
                             .arg(checkStateName(check.state), longOutputText(check.summary)) +
                         performanceData({{"missing", result.missing.size()},
                                          {"security", result.securityCount()},
                                          {"oldest_days", result.oldestAgeDays().value_or(0)}}) +
                         QLatin1Char('\n') + patchLines(result, QString());
    return {text.toUtf8(), int(check.state)};
}

namespace {
constexpr qint64 secondsPerDay = 24 * 60 * 60;

struct MetricFamily
{
    const char* name;
    const char* help;
};
const MetricFamily families[] = {
    {"missing_patches", "Missing patches that name an installed product, by security flag."},
    {"oldest_missing_patch_age_seconds",
     "Age in seconds (whole days) of the oldest missing patch with a known release date."},
    {"installed_product", "An installed product and its version."},
    {"patch_list_state", "The state of the patch list: 1 for the state it is in."},
    {"status_code", "The run's status code: 0 no error, 1 configuration, 2 settings, 3 network."},
    {"check_timestamp_seconds", "When the check ran, in seconds since 1970 (UTC)."},
};
constexpr int familyCount = int(std::size(families));

QByteArray familyHead(int family)
{
    return QStringLiteral("# HELP skyvane_%1 %2\n# TYPE skyvane_%1 gauge\n")
        .arg(QLatin1String(families[family].name), QLatin1String(families[family].help))
        .toUtf8();
}

// A machine's samples, family by family; with the machine's label when asked.
QList<QByteArray> prometheusSamples(const CheckResult& result, bool labelMachine)
{
    QList<QByteArray> samples(familyCount);
    const auto sample = [&](int family, const QString& labels, const QString& value) {
        QStringList all;
        if (labelMachine)
            all << QStringLiteral("machine=\"%1\"").arg(labelValue(result.machine));
        if (!labels.isEmpty())
            all << labels;
        samples[family] +=
            (QStringLiteral("skyvane_") + QLatin1String(families[family].name) +
             (all.isEmpty() ? QString()
                            : QLatin1Char('{') + all.join(QLatin1Char(',')) + QLatin1Char('}')) +
             QLatin1Char(' ') + value + QLatin1Char('\n'))
                .toUtf8();
    };
    for (const IQuorixProduct* product : result.products) {
        QString label = QStringLiteral("product=\"%1\"").arg(labelValue(product->name()));
        // Two products of one name are told apart by where they were found.
        const bool sameName = std::count_if(result.products.begin(), result.products.end(),
                                            [product](const IQuorixProduct* other) {
                                                return other->name() == product->name();
                                            }) > 1;
        if (sameName)
            label += QStringLiteral(",key=\"%1\"").arg(labelValue(product->registryKey()));
        const QList<MissingPatch> missing = result.missingFor(product);
        for (const bool security : {true, false}) {
            const auto count =
                std::count_if(missing.begin(), missing.end(),
                              [security](const MissingPatch& m) { return m.security == security; });
            sample(0,
                   label + QStringLiteral(",security=\"%1\"")
                               .arg(security ? QStringLiteral("true") : QStringLiteral("false")),
                   QString::number(count));
        }
        if (const auto oldest = oldestAge(missing))
            sample(1, label, QString::number(*oldest * secondsPerDay));
        sample(2, label + QStringLiteral(",version=\"%1\"").arg(labelValue(product->version())),
               QStringLiteral("1"));
    }
    for (const ListState state :
         {ListState::Ok, ListState::Unreachable, ListState::Invalid, ListState::TooLarge})
        sample(3, QStringLiteral("state=\"%1\"").arg(listStateName(state)),
               state == result.listState ? QStringLiteral("1") : QStringLiteral("0"));
    sample(4, QString(), QString::number(int(result.status)));
    sample(5, QString(), QString::number(result.checkedAt.toSecsSinceEpoch()));
    return samples;
}

class JsonFleetFormat : public FleetFormat
{
public:
    QList<QByteArray> machineParts(const CheckResult& result, const FleetRow&) const override
    {
        return {validUnicode(QJsonDocument(reportObject(result)).toJson(QJsonDocument::Compact))};
    }
    QByteArray head(const QList<FleetRow>& rows, const CheckResult& anyResult) const override
    {
        QJsonObject summary{{"machines", int(rows.size())},
                            {"state", checkStateName(worstState(rows)).toLower()},
                            {"ok", 0},
                            {"warning", 0},
                            {"critical", 0},
                            {"unknown", 0}};
        int missing = 0;
        int security = 0;
        for (const FleetRow& row : rows) {
            const QString state = checkStateName(row.state).toLower();
            summary[state] = summary[state].toInt() + 1;
            missing += row.missing;
            security += row.security;
        }
        summary.insert("missing", missing);
        summary.insert("security", security);
        const QJsonObject fleet{{"schemaVersion", 1},
                                {"skyvaneVersion", QCoreApplication::applicationVersion()},
                                {"checkedAt", anyResult.checkedAt.toString(Qt::ISODate)},
                                {"summary", summary}};
        // The machines' array follows the summary: the object is left open for it.
        QByteArray text = validUnicode(QJsonDocument(fleet).toJson(QJsonDocument::Compact));
        text.chop(1);
        return text + ",\"machines\":[\n";
    }
    QByteArray separator() const override { return ",\n"; }
    QByteArray tail() const override { return "\n]}\n"; }
};

class NagiosFleetFormat : public FleetFormat
{
public:
    QList<QByteArray> machineParts(const CheckResult& result, const FleetRow& row) const override
    {
        const MachineCheck check = machineCheck(result);
        return {(longOutputText(row.machine) + QStringLiteral(": ") + checkStateName(check.state) +
                 QStringLiteral(" - ") + longOutputText(check.summary) + QLatin1Char('\n') +
                 patchLines(result, QStringLiteral("  ")))
                    .toUtf8()};
    }
    QByteArray head(const QList<FleetRow>& rows, const CheckResult&) const override
    {
        qint64 counts[4] = {};
        qint64 missing = 0;
        qint64 security = 0;
        qint64 oldest = 0;
        for (const FleetRow& row : rows) {
            ++counts[int(row.state)];
            missing += row.missing;
            security += row.security;
            oldest = std::max(oldest, row.oldestDays.value_or(0));
        }
        const qint64 critical = counts[int(CheckState::Critical)];
        const qint64 warning = counts[int(CheckState::Warning)];
        const qint64 unknown = counts[int(CheckState::Unknown)];
        return (QStringLiteral("SKYVANE %1 - %2: %3 critical, %4 warning, %5 unknown, "
                               "%6 ok|")
                    .arg(checkStateName(worstState(rows)))
                    .arg(rows.size() == 1 ? QStringLiteral("1 machine")
                                          : QStringLiteral("%1 machines").arg(rows.size()))
                    .arg(critical)
                    .arg(warning)
                    .arg(unknown)
                    .arg(counts[int(CheckState::Ok)]) +
                performanceData({{"machines", rows.size()},
                                 {"critical", critical},
                                 {"warning", warning},
                                 {"unknown", unknown},
                                 {"missing", missing},
                                 {"security", security},
                                 {"oldest_days", oldest}}) +
                QLatin1Char('\n'))
            .toUtf8();
    }
    bool worstFirst() const override { return true; }
    int exitCode(const QList<FleetRow>& rows, int) const override { return int(worstState(rows)); }
};

class PrometheusFleetFormat : public FleetFormat
{
public:
    QList<QByteArray> machineParts(const CheckResult& result, const FleetRow&) const override
    {
        return prometheusSamples(result, true);
    }
    QByteArray head(const QList<FleetRow>&, const CheckResult&) const override { return {}; }
    QByteArray partHead(int part) const override { return familyHead(part); }
};
} // namespace

QByteArray prometheusReport(const CheckResult& result)
{
    const QList<QByteArray> samples = prometheusSamples(result, false);
    QByteArray text;
    for (int family = 0; family < familyCount; ++family)
        text += familyHead(family) + samples.at(family);
    return text;
}

std::unique_ptr<FleetFormat> jsonFleetFormat()
{
    return std::make_unique<JsonFleetFormat>();
}

std::unique_ptr<FleetFormat> nagiosFleetFormat()
{
    return std::make_unique<NagiosFleetFormat>();
}

std::unique_ptr<FleetFormat> prometheusFleetFormat()
{
    return std::make_unique<PrometheusFleetFormat>();
}

int writeMachineOutput(OutputFormat format, const CheckResult& result, int runExitCode)
{
    if (format == OutputFormat::Nagios) {
        const NagiosCheck check = nagiosReport(result);
        writeConsole(QString::fromUtf8(check.text));
        return check.exitCode;
    }
    QByteArray text;
    if (format == OutputFormat::Json) {
        text = jsonReport(result);
    } else if (format == OutputFormat::Prometheus) {
        text = prometheusReport(result);
    } else {
        // A page for one machine is a fleet of one.
        const std::unique_ptr<FleetFormat> page = htmlFleetFormat();
        const FleetRow row = fleetRow(result, 1);
        text = page->head({row}, result) + page->machineParts(result, row).first() + page->tail();
    }
    writeConsole(QString::fromUtf8(text));
    return runExitCode;
}
