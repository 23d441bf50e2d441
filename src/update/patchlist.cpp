#include "patchlist.h"

#include "core/logger.h"

#include "jsoninput.h"
#include "listreader.h"

#include <QCoreApplication>

#include <optional>
#include <vector>

namespace {
bool isForWindows(const PublishedPatch& patch)
{
    return patch.Platform.contains(QLatin1String("Windows"), Qt::CaseInsensitive) ||
           patch.Platform.contains(QLatin1String("all"), Qt::CaseInsensitive);
}

enum class Field
{
    None,
    Product,
    Version,
    Patches,
    PatchText, // one of the seven texts of a patch
};

// Builds the master list from the reader's events. Only the containers on the
// path root -> "Product" -> version -> "patches" -> patch are followed; any
// other container is passed over by counting its depth, so nesting costs
// nothing here.
class MasterListBuilder : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, MasterListBuilder>
{
public:
    // With wanted versions, the patch arrays of version objects are passed
    // over and only their place is noted; once a version object has ended and
    // its version is known to be wanted, its last patch array is read again
    // from there. Keys come in any order, so the version may follow the patches.
    MasterListBuilder(JsonInput& source, const QStringList* wantedVersions)
        : input(source), wanted(wantedVersions)
    {
    }
    // Reads one patch array that starts at the given place.
    static PatchSet readPatchArray(const QByteArray& bytes, bool latin1, qsizetype start);

    QList<VersionPatches> result() const { return versions; }
    bool hasProductArray() const { return productArray; }

    bool Null() { return scalar(QString()); }
    bool Bool(bool) { return element(false) && assign(QString(), false); }
    bool RawNumber(const char*, rapidjson::SizeType, bool)
    {
        const std::optional<QByteArrayView> text = input.takeNumber();
        if (!text)
            return false;
        return scalar(wantsText() ? jsonNumberText(*text) : QString());
    }
    bool String(const char* text, rapidjson::SizeType length, bool)
    {
        if (!wantsText()) {
            input.skipText();
            return scalar(QString());
        }
        return scalar(input.takeText(text, length));
    }
    bool Key(const char* text, rapidjson::SizeType length, bool)
    {
        input.skipText();
        if (skipped == 0)
            findField(std::string_view(text, length));
        return true;
    }
    bool StartObject() { return start(true); }
    bool EndObject(rapidjson::SizeType) { return end(); }
    bool StartArray() { return start(false); }
    bool EndArray(rapidjson::SizeType) { return end(); }

private:
    // The containers that are followed, as the one being read.
    enum class Place
    {
        Root,
        Versions,
        Version,
        Patches,
        Patch
    };

    // The keys read, and where; a patch's texts go to the member of that name.
    void findField(std::string_view key)
    {
        using P = PublishedPatch;
        static const struct
        {
            Place place;
            const char* name;
            Field field;
            QString PublishedPatch::*text;
        } known[] = {{Place::Root, "Product", Field::Product, nullptr},
                     {Place::Version, "version", Field::Version, nullptr},
                     {Place::Version, "patches", Field::Patches, nullptr},
                     {Place::Patch, "Name", Field::PatchText, &P::Name},
                     {Place::Patch, "Products", Field::PatchText, &P::Products},
                     {Place::Patch, "SecurityPatch", Field::PatchText, &P::SecurityPatch},
                     {Place::Patch, "Platform", Field::PatchText, &P::Platform},
                     {Place::Patch, "url", Field::PatchText, &P::url},
                     {Place::Patch, "QFE_ID", Field::PatchText, &P::QFE_ID},
                     {Place::Patch, "ReleaseDate", Field::PatchText, &P::ReleaseDate}};
        field = Field::None;
        for (const auto& entry : known) {
            if (entry.place == open.back() && key == entry.name) {
                field = entry.field;
                patchText = entry.text;
            }
        }
    }

    // Whether the value now read is kept as text: converting costs time.
    bool wantsText() const
    {
        return skipped == 0 && !open.empty() && !inArray() && field != Field::None;
    }

    bool inArray() const
    {
        return !open.empty() && (open.back() == Place::Versions || open.back() == Place::Patches);
    }

    // A value that is not a container: an element of a followed array, or the
    // value of the last key of a followed object.
    bool scalar(const QString& text)
    {
        if (skipped > 0)
            return true;
        return element(true) && assign(text, true);
    }

    // An element of the version list that is no object still gives an entry;
    // booleans leave the list.
    bool element(bool counts)
    {
        if (skipped == 0 && counts && !open.empty() && open.back() == Place::Versions)
            versions.append(VersionPatches());
        return true;
    }

    // The value of the last key: the last of repeated keys wins, and a value
    // that does not read as text reads as empty text.
    bool assign(const QString& text, bool present)
    {
        if (skipped > 0 || inArray() || open.empty())
            return true;
        const QString value = present ? text : QString();
        switch (field) {
        case Field::Product:
            versions.clear();
            productArray = false;
            break;
        case Field::Version:
            versions.last().version = value;
            break;
        case Field::Patches:
            versions.last().patches.clear();
            patchArrayAt = -1;
            break;
        case Field::PatchText:
            patch.*patchText = value;
            break;
        case Field::None:
            break;
        }
        return true;
    }

    bool start(bool object)
    {
        if (skipped > 0) {
            ++skipped;
            return true;
        }
        std::optional<Place> next;
        if (open.empty()) {
            if (object)
                next = Place::Root;
        } else if (inArray()) {
            if (open.back() == Place::Versions) {
                versions.append(VersionPatches());
                if (object)
                    next = Place::Version;
            } else if (object) {
                patch = PublishedPatch();
                next = Place::Patch;
            }
        } else {
            // A container as the value of a key reads as empty text or list.
            assign(QString(), false);
            if (!object && field == Field::Product) {
                next = Place::Versions;
                productArray = true;
            } else if (!object && field == Field::Patches && !wanted)
                next = Place::Patches;
            else if (!object && field == Field::Patches)
                patchArrayAt = input.sourcePosition();
        }
        if (next)
            open.push_back(*next);
        else
            skipped = 1;
        return true;
    }

    bool end()
    {
        if (skipped > 0) {
            --skipped;
            return true;
        }
        if (open.back() == Place::Patch && isForWindows(patch))
            versions.last().patches.append(patch);
        if (open.back() == Place::Version) {
            if (patchArrayAt >= 0 && wanted->contains(versions.last().version))
                patchesToRead.append({versions.size() - 1, patchArrayAt});
            patchArrayAt = -1;
        }
        open.pop_back();
        return true;
    }

public:
    // Version entries whose patch array is still to be read, and where it starts.
    QList<QPair<qsizetype, qsizetype>> patchesToRead;

private:
    JsonInput& input;
    const QStringList* wanted;
    qsizetype patchArrayAt = -1;
    std::vector<Place> open; // at most five deep
    int skipped = 0;         // depth inside a container that is not followed
    Field field = Field::None;
    QString PublishedPatch::*patchText = nullptr;
    bool productArray = false;
    QList<VersionPatches> versions;
    PublishedPatch patch;
};

constexpr unsigned readerFlags =
    rapidjson::kParseIterativeFlag | rapidjson::kParseNumbersAsStringsFlag;

PatchSet MasterListBuilder::readPatchArray(const QByteArray& bytes, bool latin1, qsizetype start)
{
    JsonInput input(bytes, latin1, start);
    MasterListBuilder builder(input, nullptr);
    // As if the array were the value of "patches" in a version object.
    builder.open = {Place::Version};
    builder.versions = {VersionPatches()};
    builder.field = Field::Patches;
    ListReader reader;
    reader.Parse<readerFlags | rapidjson::kParseStopWhenDoneFlag>(input, builder);
    return builder.versions.first().patches;
}

QList<VersionPatches> parse(const QByteArray& bytes, const ListEncoding& encoding,
                            const QStringList* wanted, bool* valid = nullptr)
{
    if (lcUpdate().isDebugEnabled())
        wanted = nullptr;
    JsonInput input(bytes, encoding);
    MasterListBuilder builder(input, wanted);
    ListReader reader;
    const bool read = !reader.Parse<readerFlags>(input, builder).IsError() && input.atEnd();
    if (valid)
        *valid = read && builder.hasProductArray();
    if (!read)
        return {};
    QList<VersionPatches> masterList = builder.result();
    for (const auto& [entry, start] : builder.patchesToRead)
        masterList[entry].patches =
            MasterListBuilder::readPatchArray(bytes, encoding.latin1, start);
    for (VersionPatches& entry : masterList)
        entry.patches.squeeze();
    for (const VersionPatches& entry : masterList) {
        for (const PublishedPatch& patch : entry.patches)
            qCDebug(lcUpdate).noquote()
                << QStringLiteral("Adding patch to master list: %1").arg(patch.Name);
    }
    return masterList;
}
} // namespace

QList<VersionPatches> parsePatchListText(const QString& text)
{
    return parse(text.toUtf8(), ListEncoding(), nullptr, nullptr);
}

Result<QList<VersionPatches>> parsePatchListBytes(const QByteArray& bytes,
                                                  const QStringList* wantedVersions)
{
    bool valid = false;
    QList<VersionPatches> list = parse(bytes, detectListEncoding(bytes), wantedVersions, &valid);
    if (!valid)
        return failure(QCoreApplication::translate("QuorixUpdate", "the answer is no patch list"));
    return list;
}
