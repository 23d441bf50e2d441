#include "previousreport.h"

#include "checkresult.h"
#include "core/console.h"
#include "core/localfile.h"
#include "update/listreader.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QSet>

#include <algorithm>
#include <vector>

namespace {
// The translation context of this file's texts.
struct PreviousReportFile
{
    Q_DECLARE_TR_FUNCTIONS(PreviousReportFile)
};

constexpr qint64 maxFileBytes = qint64(512) * 1024 * 1024;
constexpr qsizetype maxMachines = 100000;
constexpr qsizetype maxMissingPatches = 1000000;
constexpr qsizetype maxTextLength = 4096;
constexpr size_t maxDepth = 32;
constexpr int readSchemaVersion = 1;

// The reader's input, read from the device a chunk at a time: a large report
// is never held whole.
class DeviceInput
{
public:
    using Ch = char;
    explicit DeviceInput(QIODevice& source) : device(source) { refill(); }

    Ch Peek() const { return at < chunk.size() ? chunk.at(at) : '\0'; }
    Ch Take()
    {
        if (at >= chunk.size())
            return '\0';
        const Ch c = chunk.at(at);
        ++taken;
        if (++at == chunk.size())
            refill();
        return c;
    }
    size_t Tell() const { return taken; }
    bool atEnd() const { return at >= chunk.size(); }

    // Never written to; the reader's stream concept names these.
    Ch* PutBegin() { return nullptr; }
    void Put(Ch) {}
    void Flush() {}
    size_t PutEnd(Ch*) { return 0; }

private:
    void refill()
    {
        chunk = device.read(64 * 1024);
        at = 0;
    }

    QIODevice& device;
    QByteArray chunk;
    qsizetype at = 0;
    size_t taken = 0;
};

// The places of the report whose values are read; anything else is passed over.
enum class Place
{
    Root, // a machine's report, or a fleet's
    Machines,
    Machine,
    Products,
    Product,
    MissingPatches,
    MissingPatch,
    List,
    Other,
};

class ReportBuilder : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, ReportBuilder>
{
public:
    bool StartObject() { return open(true); }
    bool StartArray() { return open(false); }
    bool EndObject(rapidjson::SizeType) { return close(); }
    bool EndArray(rapidjson::SizeType) { return close(); }
    bool Key(const char* text, rapidjson::SizeType length, bool)
    {
        places.back().key = QByteArray(text, qsizetype(length));
        return true;
    }
    bool String(const char* text, rapidjson::SizeType length, bool)
    {
        if (!readsValue())
            return true;
        if (length > maxTextLength * 4 ||
            (value = QString::fromUtf8(text, qsizetype(length))).size() > maxTextLength)
            return refuse(PreviousReportFile::tr("\"%1\" is longer than %2 characters")
                              .arg(QLatin1String(places.back().key))
                              .arg(maxTextLength));
        return takeText();
    }
    bool Uint(unsigned number)
    {
        if (at(Place::Root, "schemaVersion")) {
            schemaVersion = int(std::min(number, 1000000u));
            return true;
        }
        return Default();
    }
    // Any other value of a member that is read has the wrong type.
    bool Default() { return !readsValue() || wrongType(); }

    QString error;
    int schemaVersion = 0;
    QString checkedAt;
    bool fleet = false;
    PreviousMachine root;
    QList<PreviousMachine> machines;

private:
    struct Level
    {
        Place place;
        QByteArray key;
    };

    bool at(Place place, const char* key) const
    {
        return !places.empty() && places.back().place == place && places.back().key == key;
    }
    bool inMachine() const
    {
        const Place place = places.back().place;
        return place == Place::Machine || place == Place::Root;
    }
    bool readsValue() const
    {
        if (places.empty())
            return false; // a value that is the whole document
        const QByteArray& key = places.back().key;
        return at(Place::Root, "schemaVersion") || at(Place::Root, "checkedAt") ||
               at(Place::List, "state") || at(Place::MissingPatch, "name") ||
               (inMachine() && (key == "machine" || key == "state" || key == "exportError"));
    }
    // The machine whose report is being read: a fleet's, or the document's own.
    PreviousMachine& machine() { return inFleetMachine ? machines.last() : root; }

    Place childPlace(bool object) const
    {
        if (places.empty())
            return object ? Place::Root : Place::Other;
        const Level& parent = places.back();
        const auto is = [&](Place place, const char* key, bool wantObject) {
            return parent.place == place && (key == nullptr || parent.key == key) &&
                   object == wantObject;
        };
        if (is(Place::Root, "machines", false))
            return Place::Machines;
        if (is(Place::Machines, nullptr, true))
            return Place::Machine;
        if (inMachine() && parent.key == "products" && !object)
            return Place::Products;
        if (inMachine() && parent.key == "list" && object)
            return Place::List;
        if (is(Place::Products, nullptr, true))
            return Place::Product;
        if (is(Place::Product, "missing", false))
            return Place::MissingPatches;
        if (is(Place::MissingPatches, nullptr, true))
            return Place::MissingPatch;
        return Place::Other;
    }

    bool open(bool object)
    {
        if (places.size() >= maxDepth)
            return refuse(
                PreviousReportFile::tr("it is nested deeper than %1 levels").arg(maxDepth));
        if (!places.empty() && readsValue())
            return wrongType();
        const Place place = childPlace(object);
        if (place == Place::Machines)
            fleet = true;
        if (place == Place::Machine) {
            if (machines.size() >= maxMachines)
                return refuse(
                    PreviousReportFile::tr("it has more than %1 machines").arg(maxMachines));
            machines.append(PreviousMachine());
            inFleetMachine = true;
            listOk = false;
            exportError = false;
            names.clear();
        }
        places.push_back({place, QByteArray()});
        return true;
    }
    bool close()
    {
        const Place place = places.back().place;
        if (place == Place::Machine || place == Place::Root) {
            PreviousMachine& closed = machine();
            closed.compared = listOk && !exportError;
            inFleetMachine = false;
            if (place == Place::Machine && closed.name.isNull())
                return refuse(
                    PreviousReportFile::tr("machine %1 has no name").arg(machines.size()));
        }
        places.pop_back();
        return true;
    }

    bool takeText()
    {
        const QByteArray& key = places.back().key;
        if (at(Place::Root, "schemaVersion"))
            return wrongType();
        if (at(Place::Root, "checkedAt")) {
            checkedAt = value;
        } else if (at(Place::List, "state")) {
            listOk = value == QLatin1String("ok");
        } else if (at(Place::MissingPatch, "name")) {
            if (++missingPatches > maxMissingPatches)
                return refuse(PreviousReportFile::tr("it has more than %1 missing patches")
                                  .arg(maxMissingPatches));
            if (!names.contains(value)) {
                names.insert(value);
                machine().missing << value;
            }
        } else if (key == "machine") {
            machine().name = value;
        } else if (key == "exportError") {
            exportError = true;
        } else {
            return takeState();
        }
        return true;
    }
    bool takeState()
    {
        for (CheckState state :
             {CheckState::Ok, CheckState::Warning, CheckState::Critical, CheckState::Unknown}) {
            if (value == checkStateName(state).toLower()) {
                machine().state = state;
                return true;
            }
        }
        return refuse(PreviousReportFile::tr("\"%1\" is no state").arg(printable(value.left(40))));
    }

    bool wrongType()
    {
        return refuse(PreviousReportFile::tr("\"%1\" has a value of the wrong type")
                          .arg(QLatin1String(places.back().key)));
    }
    bool refuse(const QString& text)
    {
        error = text;
        return false;
    }

    std::vector<Level> places;
    QString value;
    bool inFleetMachine = false;
    bool listOk = false;
    bool exportError = false;
    QSet<QString> names; // of the machine being read
    qsizetype missingPatches = 0;
};

Result<PreviousReport> reportOf(ReportBuilder& built)
{
    if (built.schemaVersion == 0)
        return failure(PreviousReportFile::tr("it is no JSON report of Skyvane (it has no "
                                              "schemaVersion)"));
    if (built.schemaVersion != readSchemaVersion)
        return failure(PreviousReportFile::tr("it has schema version %1; this Skyvane reads "
                                              "version %2")
                           .arg(built.schemaVersion)
                           .arg(readSchemaVersion));
    PreviousReport report;
    report.checkedAt = QDateTime::fromString(built.checkedAt, Qt::ISODate).toUTC();
    if (!report.checkedAt.isValid())
        return failure(PreviousReportFile::tr("its checkedAt is no date and time"));
    if (built.fleet)
        report.machines = std::move(built.machines);
    else if (!built.root.name.isNull())
        report.machines = {std::move(built.root)};
    else
        return failure(PreviousReportFile::tr("it names neither a machine nor machines"));
    report.index();
    return report;
}
} // namespace

const PreviousMachine* PreviousReport::machine(const QString& name) const
{
    const auto found = byName.constFind(name.toCaseFolded());
    return found == byName.cend() ? nullptr : &machines.at(*found);
}

void PreviousReport::index()
{
    byName.clear();
    for (qsizetype i = 0; i < machines.size(); ++i) {
        const QString name = machines.at(i).name.toCaseFolded();
        if (!byName.contains(name)) // the first of a name counts
            byName.insert(name, i);
    }
}

Result<PreviousReport> parsePreviousReport(QIODevice& device)
{
    DeviceInput input(device);
    ReportBuilder builder;
    ListReader reader;
    const rapidjson::ParseResult parsed =
        reader.Parse<rapidjson::kParseIterativeFlag>(input, builder);
    if (!builder.error.isEmpty())
        return failure(builder.error);
    if (parsed.IsError() || !input.atEnd())
        return failure(
            PreviousReportFile::tr("it is no JSON (at byte %1)").arg(qulonglong(input.Tell())));
    return reportOf(builder);
}

Result<PreviousReport> readPreviousReport(const LocalPath& path)
{
    const auto refused = [&path](const QString& reason) {
        return failure(PreviousReportFile::tr("The previous report \"%1\" cannot be used: %2.")
                           .arg(printable(path.shown()), reason));
    };
    const OpenedFile file = openRegularFile(path, maxFileBytes);
    if (!file.ok())
        return refused(file.error().tooLarge ? PreviousReportFile::tr("it is larger than 512 MiB")
                                             : file.error().text);
    Result<PreviousReport> report = parsePreviousReport(*file.value());
    if (!report.ok())
        return refused(report.errorString());
    return report;
}
