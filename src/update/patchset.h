#pragma once

#include "publishedpatch.h"

#include <QList>
#include <QSharedDataPointer>
#include <QString>

#include <initializer_list>
#include <iterator>

class PatchSetData;

// The patches published for one version, held compactly: the texts of all
// patches in one block and, per patch, where each of its seven texts ends.
// A list of a million patches thus costs little more than its texts; a patch
// is made whole when it is read.
class PatchSet
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = PublishedPatch;
        using difference_type = qsizetype;
        using pointer = void;
        using reference = PublishedPatch;

        const_iterator(const PatchSet* patches, qsizetype at) : set(patches), index(at) {}
        PublishedPatch operator*() const { return set->at(index); }
        const_iterator& operator++()
        {
            ++index;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return index == other.index; }
        bool operator!=(const const_iterator& other) const { return index != other.index; }

    private:
        const PatchSet* set;
        qsizetype index;
    };

    PatchSet();
    PatchSet(std::initializer_list<PublishedPatch> patches);
    PatchSet(const PatchSet& other);
    PatchSet& operator=(const PatchSet& other);
    ~PatchSet();

    void append(const PublishedPatch& patch);
    void clear();
    qsizetype size() const;
    bool isEmpty() const { return size() == 0; }
    PublishedPatch at(qsizetype index) const;
    // The patch at the index, or an empty one past the end.
    PublishedPatch value(qsizetype index) const;
    PublishedPatch first() const { return at(0); }
    // Gives back the room kept for patches still to come.
    void squeeze();

    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }

    bool operator==(const PatchSet& other) const;
    bool operator!=(const PatchSet& other) const { return !(*this == other); }

private:
    // Empty until the first patch, so an entry without patches costs one pointer.
    QSharedDataPointer<PatchSetData> d;
};
Q_DECLARE_TYPEINFO(PatchSet, Q_RELOCATABLE_TYPE);

// One entry of the master list: a version and the patches published for it.
struct VersionPatches
{
    QString version;
    PatchSet patches;
};
Q_DECLARE_TYPEINFO(VersionPatches, Q_RELOCATABLE_TYPE);
