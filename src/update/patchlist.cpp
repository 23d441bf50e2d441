#include "patchlist.h"

#include "app/logger.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {
// A value as text: strings as they are, numbers in the general format.
QString textOf(const QJsonValue& value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 15);
    return QString();
}

QString field(const QJsonObject& object, QLatin1String key)
{
    return textOf(object.value(key));
}

// The elements of an array without its booleans.
qsizetype arraySize(const QJsonValue& value)
{
    return value.isArray() ? value.toArray().size() : 0;
}

template <typename Visit> void forEachElement(const QJsonValue& value, Visit visit)
{
    if (!value.isArray())
        return;
    const QJsonArray array = value.toArray();
    for (const QJsonValue element : array) {
        if (!element.isBool())
            visit(element);
    }
}

PublishedPatch patchFrom(const QJsonObject& object)
{
    return {field(object, QLatin1String("Name")),          field(object, QLatin1String("Products")),
            field(object, QLatin1String("SecurityPatch")), field(object, QLatin1String("Platform")),
            field(object, QLatin1String("url")),           field(object, QLatin1String("QFE_ID")),
            field(object, QLatin1String("ReleaseDate"))};
}

bool isForWindows(const PublishedPatch& patch)
{
    return patch.Platform.contains(QLatin1String("Windows"), Qt::CaseInsensitive) ||
           patch.Platform.contains(QLatin1String("all"), Qt::CaseInsensitive);
}

QList<VersionPatches> parseUtf8(const QByteArray& utf8);
} // namespace

QList<VersionPatches> parsePatchListText(const QString& text)
{
    return parseUtf8(text.toUtf8());
}

QList<VersionPatches> parsePatchListLatin1(const QByteArray& bytes)
{
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    // ASCII reads the same in Latin-1 and UTF-8; anything else goes through the text.
    return parseUtf8(ascii ? bytes : QString::fromLatin1(bytes).toUtf8());
}

namespace {
QList<VersionPatches> parseUtf8(const QByteArray& utf8)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(utf8, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {};

    QList<VersionPatches> masterList;
    Logger* log = Logger::instance();
    // A repeated key keeps its last value, as QJsonObject does.
    forEachElement(document.object().value(QLatin1String("Product")), [&](const QJsonValue& item) {
        const QJsonObject versionObject = item.toObject();
        VersionPatches entry;
        entry.version = field(versionObject, QLatin1String("version"));
        const QJsonValue patches = versionObject.value(QLatin1String("patches"));
        entry.patches.reserve(arraySize(patches));
        forEachElement(patches, [&](const QJsonValue& p) {
            PublishedPatch patch = patchFrom(p.toObject());
            if (!isForWindows(patch))
                return;
            log->log(LogLevel::Debug,
                     QStringLiteral("Adding patch to master list: %1").arg(patch.Name));
            entry.patches.append(std::move(patch));
        });
        masterList.append(std::move(entry));
    });
    return masterList;
}
} // namespace
