#include "patchlist.h"

#include "app/logger.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
bool isKept(const QJsonValue& value)
{
    return !value.isBool() && !value.isUndefined();
}

QVariant toVariant(const QJsonValue& value);

QVariantMap objectToMap(const QJsonObject& object)
{
    QVariantMap map;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (isKept(it.value()))
            map.insert(it.key(), toVariant(it.value()));
    }
    return map;
}

QVariantList arrayToList(const QJsonArray& array)
{
    QVariantList list;
    list.reserve(array.size());
    for (const QJsonValue& element : array) {
        if (isKept(element))
            list.append(toVariant(element));
    }
    return list;
}

QVariant toVariant(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Array:
        return QVariant(arrayToList(value.toArray()));
    case QJsonValue::Object:
        return QVariant(objectToMap(value.toObject()));
    case QJsonValue::Double:
        return QVariant(value.toDouble());
    case QJsonValue::String:
        return QVariant(value.toString());
    default:
        return QVariant();
    }
}

PublishedPatch patchFromMap(const QVariantMap& map)
{
    return {variantAsText(map.value(QStringLiteral("Name"))),
            variantAsText(map.value(QStringLiteral("Products"))),
            variantAsText(map.value(QStringLiteral("SecurityPatch"))),
            variantAsText(map.value(QStringLiteral("Platform"))),
            variantAsText(map.value(QStringLiteral("url"))),
            variantAsText(map.value(QStringLiteral("QFE_ID"))),
            variantAsText(map.value(QStringLiteral("ReleaseDate")))};
}

bool isForWindows(const PublishedPatch& patch)
{
    return patch.Platform.contains(QLatin1String("Windows"), Qt::CaseInsensitive) ||
           patch.Platform.contains(QLatin1String("all"), Qt::CaseInsensitive);
}
} // namespace

QVariantMap evaluatePatchList(const QString& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return QVariantMap();
    return objectToMap(document.object());
}

QVariantList variantAsList(const QVariant& value)
{
    return value.typeId() == QMetaType::QVariantList ? value.toList() : QVariantList();
}

QVariantMap variantAsMap(const QVariant& value)
{
    return value.typeId() == QMetaType::QVariantMap ? value.toMap() : QVariantMap();
}

QString variantAsText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return QString();
}

QList<VersionPatches> parsePatchListText(const QString& text)
{
    const QVariantList versions =
        variantAsList(evaluatePatchList(text).value(QStringLiteral("Product")));
    QList<VersionPatches> masterList;
    masterList.reserve(versions.size());
    Logger* log = Logger::instance();
    for (const QVariant& versionValue : versions) {
        const QVariantMap versionObject = variantAsMap(versionValue);
        VersionPatches entry;
        entry.version = variantAsText(versionObject.value(QStringLiteral("version")));
        const QVariantList patches = variantAsList(versionObject.value(QStringLiteral("patches")));
        for (const QVariant& patchValue : patches) {
            PublishedPatch patch = patchFromMap(variantAsMap(patchValue));
            if (!isForWindows(patch))
                continue;
            log->log(LogLevel::Debug,
                     QStringLiteral("Adding patch to master list: %1").arg(patch.Name));
            entry.patches.append(std::move(patch));
        }
        masterList.append(std::move(entry));
    }
    return masterList;
}
