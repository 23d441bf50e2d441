// The Prometheus text exposition format, for the node exporter's textfile
// collector: one gauge family after another, each with its help and type. In
// a fleet's every series has a "machine" label.

#include "products/iquorixproduct.h"
#include "reportformat.h"

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
    {"export_age_seconds",
     "Age in seconds of the registry export the machine was read from, by its modification time."},
    {"acknowledged_patches",
     "Missing patches that an acknowledgement (/ack) names, by whether it has expired."},
    {"changes",
     "Since the previous report (/since): patches newly and no longer missing; 1 for a changed "
     "state, and for a machine that report did not have."},
    {"list_age_seconds",
     "Seconds since the server last sent or confirmed the patch list used: 0 for a list fetched "
     "now, more for the cache's copy standing in."},
};
constexpr int exportAgeFamily = 6;
constexpr int acknowledgedFamily = 7;
constexpr int changesFamily = 8;
constexpr int listAgeFamily = 9;
constexpr int familyCount = int(std::size(families));

QString labelValue(QString text)
{
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

QByteArray familyHead(int family)
{
    return QStringLiteral("# HELP skyvane_%1 %2\n# TYPE skyvane_%1 gauge\n")
        .arg(QLatin1String(families[family].name), QLatin1String(families[family].help))
        .toUtf8();
}

// A machine's samples, family by family; with the machine's label when asked.
QList<QByteArray> samples(const CheckResult& result, bool labelMachine)
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
    if (result.listState == ListState::Ok)
        sample(listAgeFamily, QString(), QString::number(result.keptListAgeSeconds.value_or(0)));
    if (const std::optional<qint64> age = result.exportAgeSeconds())
        sample(exportAgeFamily, QString(), QString::number(*age));
    if (result.rules.acknowledged) {
        for (const bool expired : {false, true}) {
            const auto count = std::count_if(
                result.missing.begin(), result.missing.end(), [expired](const MissingPatch& m) {
                    return m.acknowledged && m.acknowledged->expired == expired;
                });
            sample(acknowledgedFamily,
                   QStringLiteral("expired=\"%1\"")
                       .arg(expired ? QStringLiteral("true") : QStringLiteral("false")),
                   QString::number(count));
        }
    }
    if (const std::optional<MachineChanges> changes = changesSince(result)) {
        const std::pair<const char*, qsizetype> counts[] = {
            {"newly_missing", changes->newlyMissing.size()},
            {"no_longer_missing", changes->noLongerMissing.size()},
            {"state", changes->stateChanged() ? 1 : 0},
            {"new_machine", changes->isNew ? 1 : 0}};
        for (const auto& [change, count] : counts)
            sample(changesFamily, QStringLiteral("change=\"%1\"").arg(QLatin1String(change)),
                   QString::number(count));
    }
    return samples;
}

class PrometheusFormat : public ReportFormat
{
public:
    void writeMachine(const CheckResult& result, QByteArray& out) const override
    {
        const QList<QByteArray> machine = samples(result, false);
        for (int family = 0; family < familyCount; ++family) {
            // A machine's own registry has no export, a run without /ack no
            // acknowledgements, one without /since no changes: nor a family for them.
            const bool optional = family == exportAgeFamily || family == acknowledgedFamily ||
                                  family == changesFamily;
            if (!optional || !machine.at(family).isEmpty())
                out += familyHead(family) + machine.at(family);
        }
    }
    QList<QByteArray> fleetMachineParts(const CheckResult& result, const FleetRow&) const override
    {
        return samples(result, true);
    }
    void writeFleetHead(const QList<FleetRow>&, const CheckResult&, QByteArray&) const override {}
    void writePartHead(int part, const CheckResult& anyResult, QByteArray& out) const override
    {
        if ((part != acknowledgedFamily || anyResult.rules.acknowledged) &&
            (part != changesFamily || anyResult.rules.previous))
            out += familyHead(part);
    }
};
} // namespace

std::unique_ptr<ReportFormat> makePrometheusFormat()
{
    return std::make_unique<PrometheusFormat>();
}
