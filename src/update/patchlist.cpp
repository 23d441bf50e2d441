#include "patchlist.h"

#include "app/logger.h"

#include <rapidjson/reader.h>

#include <charconv>
#include <cstring>
#include <deque>
#include <limits>
#include <optional>
#include <vector>

namespace {
// The length of the JSON number at the start of text, or 0 when the text there
// is no number by JSON's grammar (leading zeros, "10.", "-.5", "1e" ...).
qsizetype jsonNumberLength(QByteArrayView text)
{
    qsizetype i = 0;
    const auto digitAt = [&text](qsizetype at) {
        return at < text.size() && text[at] >= '0' && text[at] <= '9';
    };
    const auto digits = [&](qsizetype at) {
        while (digitAt(at))
            ++at;
        return at;
    };
    if (i < text.size() && text[i] == '-')
        ++i;
    if (!digitAt(i))
        return 0;
    i = text[i] == '0' ? i + 1 : digits(i);
    if (i < text.size() && text[i] == '.') {
        if (!digitAt(i + 1))
            return 0;
        i = digits(i + 1);
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (!digitAt(i))
            return 0;
        i = digits(i);
    }
    const bool ends = i == text.size() || !std::strchr("0123456789.eE+-", text[i]);
    return ends ? i : 0;
}

// Bytes as the reader's UTF-8 input: either UTF-8 already, or Latin-1 bytes
// turned into UTF-8 on the fly, so that no converted copy is made.
//
// Every number that JSON's grammar allows reaches the reader as "0" and its
// own text waits in a queue for the handler: the reader refuses numbers past
// the range of a double, which the conversion rules turn into infinity. The
// stream follows strings to tell a number from digits inside a text.
class InputStream
{
public:
    using Ch = char;

    InputStream(const QByteArray& bytes, bool fromLatin1, qsizetype start = 0)
        : data(bytes.constData()), size(bytes.size()), latin1(fromLatin1), position(start)
    {
        prepareNumber();
    }

    Ch Peek() const
    {
        if (standIn)
            return '0';
        if (position == size)
            return '\0';
        const auto byte = static_cast<unsigned char>(data[position]);
        if (byte < 0x80 || !latin1)
            return char(byte);
        return char(inSecondByte ? 0x80 | (byte & 0x3f) : 0xc0 | (byte >> 6));
    }
    Ch Take()
    {
        if (standIn) {
            standIn = false;
            prepareNumber();
            return '0';
        }
        if (position == size)
            return '\0';
        const auto byte = static_cast<unsigned char>(data[position]);
        if (byte >= 0x80 && latin1) { // only valid inside a text: no number follows
            inSecondByte = !inSecondByte;
            if (inSecondByte)
                return char(0xc0 | (byte >> 6));
            ++position;
            return char(0x80 | (byte & 0x3f));
        }
        ++position;
        if (escaped)
            escaped = false;
        else if (byte == '\\')
            escaped = inString;
        else if (byte == '"')
            inString = !inString;
        if (!inString)
            prepareNumber();
        return char(byte);
    }
    size_t Tell() const { return size_t(position); }
    // A NUL byte reads like the end to the reader; only this tells them apart.
    bool atEnd() const { return position == size && !standIn; }
    // Where the next character comes from; only meaningful between tokens.
    qsizetype sourcePosition() const { return position; }
    // The text of the number the reader has just read.
    QByteArrayView takeNumber()
    {
        const auto [start, length] = numbers.front();
        numbers.pop_front();
        return QByteArrayView(data + start, length);
    }

    Ch* PutBegin() { return nullptr; }
    void Put(Ch) {}
    void Flush() {}
    size_t PutEnd(Ch*) { return 0; }

private:
    void prepareNumber()
    {
        if (inString || position == size)
            return;
        const char c = data[position];
        if (c != '-' && (c < '0' || c > '9'))
            return;
        const qsizetype length = jsonNumberLength(QByteArrayView(data + position, size - position));
        if (length == 0)
            return; // the reader finds the fault itself
        numbers.push_back({position, length});
        position += length;
        standIn = true;
    }

    const char* data;
    const qsizetype size;
    const bool latin1;
    qsizetype position;
    bool inSecondByte = false;
    bool inString = false;
    bool escaped = false;
    bool standIn = false;
    std::deque<std::pair<qsizetype, qsizetype>> numbers;
};

bool isForWindows(const PublishedPatch& patch)
{
    return patch.Platform.contains(QLatin1String("Windows"), Qt::CaseInsensitive) ||
           patch.Platform.contains(QLatin1String("all"), Qt::CaseInsensitive);
}

// The decimal exponent of a JSON number's first significant digit, saturated:
// positive for magnitudes of one and above, so it tells an overflow from an
// underflow.
long long magnitudeOf(std::string_view text)
{
    const size_t exponentAt = text.find_first_of("eE");
    const std::string_view mantissa = text.substr(0, exponentAt);
    long long exponent = 0;
    if (exponentAt != std::string_view::npos) {
        std::string_view digits = text.substr(exponentAt + 1);
        const bool negative = !digits.empty() && digits.front() == '-';
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
            digits.remove_prefix(1);
        for (const char digit : digits)
            exponent = std::min<long long>(exponent * 10 + (digit - '0'), 1LL << 40);
        if (negative)
            exponent = -exponent;
    }
    const size_t point = mantissa.find('.');
    const std::string_view integer = mantissa.substr(0, point);
    const size_t firstNonZero = integer.find_first_not_of("-0");
    if (firstNonZero != std::string_view::npos)
        return exponent + static_cast<long long>(integer.size() - firstNonZero);
    if (point == std::string_view::npos)
        return std::numeric_limits<long long>::min();
    const size_t firstFraction = mantissa.find_first_not_of('0', point + 1);
    if (firstFraction == std::string_view::npos)
        return std::numeric_limits<long long>::min();
    return exponent - static_cast<long long>(firstFraction - point - 1);
}

double jsonNumber(std::string_view text)
{
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc::result_out_of_range)
        return value;
    const double magnitude = magnitudeOf(text) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return text.front() == '-' ? -magnitude : magnitude;
}

// A JSON number's text as the general format with 15 significant digits
// shows the double it converts to.
QString jsonNumberText(const char* text, size_t length)
{
    return QString::number(jsonNumber(std::string_view(text, length)), 'g', 15);
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
    MasterListBuilder(InputStream& source, const QStringList* wantedVersions)
        : input(source), wanted(wantedVersions)
    {
    }
    // Reads one patch array that starts at the given place.
    static QList<PublishedPatch> readPatchArray(const QByteArray& bytes, bool latin1,
                                                qsizetype start);

    QList<VersionPatches> result() const { return versions; }
    bool hasProductArray() const { return productArray; }

    bool Null() { return scalar(QString()); }
    bool Bool(bool) { return element(false) && assign(QString(), false); }
    bool RawNumber(const char*, rapidjson::SizeType, bool)
    {
        const QByteArrayView text = input.takeNumber();
        return scalar(wantsText() ? jsonNumberText(text.data(), size_t(text.size())) : QString());
    }
    bool String(const char* text, rapidjson::SizeType length, bool)
    {
        return scalar(wantsText() ? QString::fromUtf8(text, length) : QString());
    }
    bool Key(const char* text, rapidjson::SizeType length, bool)
    {
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
    InputStream& input;
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

QList<PublishedPatch> MasterListBuilder::readPatchArray(const QByteArray& bytes, bool latin1,
                                                        qsizetype start)
{
    InputStream input(bytes, latin1, start);
    MasterListBuilder builder(input, nullptr);
    // As if the array were the value of "patches" in a version object.
    builder.open = {Place::Version};
    builder.versions = {VersionPatches()};
    builder.field = Field::Patches;
    rapidjson::Reader reader;
    reader.Parse<readerFlags | rapidjson::kParseStopWhenDoneFlag>(input, builder);
    return builder.versions.first().patches;
}

QList<VersionPatches> parse(const QByteArray& bytes, bool latin1, const QStringList* wanted,
                            bool* valid)
{
    Logger* log = Logger::instance();
    if (log->writes(LogLevel::Debug))
        wanted = nullptr;
    InputStream input(bytes, latin1);
    MasterListBuilder builder(input, wanted);
    rapidjson::Reader reader;
    const bool read = !reader.Parse<readerFlags>(input, builder).IsError() && input.atEnd();
    if (valid)
        *valid = read && builder.hasProductArray();
    if (!read)
        return {};
    QList<VersionPatches> masterList = builder.result();
    for (const auto& [entry, start] : builder.patchesToRead)
        masterList[entry].patches = MasterListBuilder::readPatchArray(bytes, latin1, start);
    for (const VersionPatches& entry : masterList) {
        for (const PublishedPatch& patch : entry.patches)
            log->log(LogLevel::Debug,
                     QStringLiteral("Adding patch to master list: %1").arg(patch.Name));
    }
    return masterList;
}
} // namespace

QList<VersionPatches> parsePatchListText(const QString& text)
{
    return parse(text.toUtf8(), false, nullptr, nullptr);
}

QList<VersionPatches> parsePatchListLatin1(const QByteArray& bytes,
                                           const QStringList* wantedVersions, bool* valid)
{
    return parse(bytes, true, wantedVersions, valid);
}
