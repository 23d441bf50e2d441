#pragma once

#include <QHash>
#include <QList>
#include <QString>

// One patch of the published patch list; the fields are named after its JSON keys.
struct PublishedPatch
{
    QString Name;
    QString Products;
    QString SecurityPatch;
    QString Platform;
    QString url;
    QString QFE_ID;
    QString ReleaseDate;

    bool operator==(const PublishedPatch& other) const
    {
        return Name == other.Name && Products == other.Products &&
               SecurityPatch == other.SecurityPatch && Platform == other.Platform &&
               url == other.url && QFE_ID == other.QFE_ID && ReleaseDate == other.ReleaseDate;
    }
    bool operator!=(const PublishedPatch& other) const { return !(*this == other); }
};

// Made of implicitly shared texts, so a growing list moves its patches by
// reallocating rather than holding the old and the new copy at once.
Q_DECLARE_TYPEINFO(PublishedPatch, Q_RELOCATABLE_TYPE);

inline size_t qHash(const PublishedPatch& patch, size_t seed = 0)
{
    return qHashMulti(seed, patch.Name, patch.Products, patch.SecurityPatch, patch.Platform,
                      patch.url, patch.QFE_ID, patch.ReleaseDate);
}
