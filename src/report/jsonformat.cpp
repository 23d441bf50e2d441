// A machine's check as one JSON document that docs/report.schema.json
// describes; a fleet's as one document with a summary and every machine's
// document in an array. Written as it goes: no document is built first. The
// members of each object stand in the order of their names.

#include "jsonwriter.h"
#include "previousreport.h"
#include "products/iquorixproduct.h"
#include "reportformat.h"
#include "update/availability.h"

#include <QCoreApplication>

namespace {
void writeList(JsonWriter& json, const CheckResult& result)
{
    json.key("list").beginObject();
    if (result.listState == ListState::Ok)
        json.member("ageSeconds", result.keptListAgeSeconds.value_or(0));
    json.member("bytes", result.listBytes);
    json.member("cached", result.keptListAgeSeconds.has_value());
    json.member("patches", result.patches);
    if (!result.listProblem.isEmpty())
        json.member("problem", result.listProblem);
    json.member("source", result.listSource);
    json.member("state", listStateName(result.listState));
    json.member("versions", result.versions);
    json.endObject();
}

void writeMissing(JsonWriter& json, const MissingPatch& m)
{
    json.beginObject();
    json.member("ageDays", m.ageDays);
    json.member("inGrace", m.inGrace);
    json.member("name", m.patch.Name);
    json.member("products", m.patch.Products);
    json.member("releaseDate", m.patch.ReleaseDate);
    json.key("released");
    if (m.released)
        json.value(m.released->toString(Qt::ISODate));
    else
        json.null();
    json.member("security", m.security);
    json.member("url", m.patch.url);
    if (m.acknowledged) {
        json.key("acknowledged").beginObject();
        json.member("expired", m.acknowledged->expired);
        json.member("expires", m.acknowledged->expires.toString(Qt::ISODate));
        json.member("reason", m.acknowledged->reason);
        json.endObject();
    }
    json.endObject();
}

void writeProducts(JsonWriter& json, const CheckResult& result)
{
    json.key("products").beginArray();
    for (const IQuorixProduct* product : result.products) {
        json.beginObject();
        json.member("installDir", product->installDir());
        json.key("missing").beginArray();
        for (const MissingPatch& m : result.missing) {
            if (m.products.contains(product))
                writeMissing(json, m);
        }
        json.endArray();
        json.member("name", product->name());
        json.member("version", product->version());
        json.endObject();
    }
    json.endArray();
}

void writeLimits(JsonWriter& json, const char* name, const Thresholds& limits)
{
    const auto number = [](const std::optional<int>& limit) {
        return limit ? std::optional<qint64>(*limit) : std::nullopt;
    };
    json.key(name).beginObject();
    json.member("critical", number(limits.critical));
    json.member("warning", number(limits.warning));
    json.endObject();
}

// Only where the operator set them: a plain check's document stays as it was.
void writeThresholds(JsonWriter& json, const VerdictRules& rules)
{
    if (!rules.hasThresholds())
        return;
    json.key("thresholds").beginObject();
    writeLimits(json, "ageDays", rules.ageDays);
    writeLimits(json, "count", rules.count);
    json.member("securityOnly", rules.securityOnly);
    json.endObject();
}

void writeExport(JsonWriter& json, const CheckResult& result)
{
    if (!result.exported)
        return;
    json.key("export").beginObject();
    json.member("ageSeconds", result.exportAgeSeconds());
    json.member("installedSoftware", result.exported->installedSoftware);
    json.key("modified");
    if (result.exported->modified.isValid())
        json.value(result.exported->modified.toString(Qt::ISODate));
    else
        json.null();
    if (const QString note = exportCoverageNote(result); !note.isEmpty())
        json.member("note", note);
    json.member("vendorTrees", result.exported->vendorTrees);
    json.endObject();
}

void writeNames(JsonWriter& json, const char* name, const QStringList& names)
{
    json.key(name).beginArray();
    for (const QString& text : names)
        json.value(text);
    json.endArray();
}

void writeChanges(JsonWriter& json, const CheckResult& result)
{
    const std::optional<MachineChanges> changes = changesSince(result);
    if (!changes)
        return;
    json.key("changes").beginObject();
    json.member("compared", changes->compared);
    json.member("new", changes->isNew);
    writeNames(json, "newlyMissing", changes->newlyMissing);
    writeNames(json, "noLongerMissing", changes->noLongerMissing);
    json.key("previousState");
    if (changes->previousState)
        json.value(checkStateName(*changes->previousState).toLower());
    else
        json.null();
    json.member("since", result.rules.previous->checkedAt.toString(Qt::ISODate));
    json.endObject();
}

void writeFleetChanges(JsonWriter& json, const QList<FleetRow>& rows, const CheckResult& anyResult)
{
    const std::optional<FleetChanges> changes = fleetChanges(rows, anyResult);
    if (!changes)
        return;
    json.key("changes").beginObject();
    json.member("added", changes->added);
    json.member("changed", changes->changed);
    writeNames(json, "gone", changes->gone);
    json.member("since", changes->since.toString(Qt::ISODate));
    json.endObject();
}

void writeReport(JsonWriter& json, const CheckResult& result)
{
    json.beginObject();
    writeChanges(json, result);
    json.member("checkedAt", result.checkedAt.toString(Qt::ISODate));
    json.key("counts").beginObject();
    json.member("graceDays", result.rules.graceDays);
    json.member("missing", qint64(result.missing.size()));
    json.member("oldestDays", result.oldestAgeDays());
    json.member("security", result.securityCount());
    json.endObject();
    writeExport(json, result);
    if (!result.exportError.isEmpty())
        json.member("exportError", result.exportError);
    json.key("installedPatches").beginArray();
    for (const InstalledPatch& patch : result.installedPatches) {
        json.beginObject();
        json.member("name", patch.name);
        json.member("qfeId", patch.qfeId);
        json.endObject();
    }
    json.endArray();
    writeList(json, result);
    json.member("machine", result.machine);
    writeProducts(json, result);
    json.member("schemaVersion", 1);
    json.member("skyvaneVersion", QCoreApplication::applicationVersion());
    json.member("state", checkStateName(machineCheck(result).state).toLower());
    json.key("status").beginObject();
    json.member("code", int(result.status));
    json.member("message", statusMessageFor(result.status));
    json.endObject();
    writeThresholds(json, result.rules);
    json.endObject();
}

class JsonFormat : public ReportFormat
{
public:
    void writeMachine(const CheckResult& result, QByteArray& out) const override
    {
        JsonWriter json(out, JsonWriter::Layout::Indented);
        writeReport(json, result);
    }
    QList<QByteArray> fleetMachineParts(const CheckResult& result, const FleetRow&) const override
    {
        QByteArray text;
        JsonWriter json(text, JsonWriter::Layout::Compact);
        writeReport(json, result);
        return {text};
    }
    void writeFleetHead(const QList<FleetRow>& rows, const CheckResult& anyResult,
                        QByteArray& out) const override
    {
        const FleetTotals totals = fleetTotals(rows);
        JsonWriter json(out, JsonWriter::Layout::Compact);
        json.beginObject();
        writeFleetChanges(json, rows, anyResult);
        json.member("checkedAt", anyResult.checkedAt.toString(Qt::ISODate));
        json.member("schemaVersion", 1);
        json.member("skyvaneVersion", QCoreApplication::applicationVersion());
        json.key("summary").beginObject();
        json.member("critical", totals.in(CheckState::Critical));
        json.member("machines", qint64(rows.size()));
        json.member("missing", totals.missing);
        json.member("ok", totals.in(CheckState::Ok));
        json.member("security", totals.security);
        json.member("state", checkStateName(worstState(rows)).toLower());
        json.member("unknown", totals.in(CheckState::Unknown));
        json.member("warning", totals.in(CheckState::Warning));
        json.endObject();
        // The machines' array follows the summary: the object is left open for it.
        out += ",\"machines\":[\n";
    }
    void writeSeparator(QByteArray& out) const override { out += ",\n"; }
    void writeFleetTail(QByteArray& out) const override { out += "\n]}\n"; }
};
} // namespace

std::unique_ptr<ReportFormat> makeJsonFormat()
{
    return std::make_unique<JsonFormat>();
}
