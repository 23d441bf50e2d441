#include "patchset.h"

#include <QSharedData>

#include <algorithm>
#include <array>

namespace {
using Text = QString PublishedPatch::*;
constexpr std::array<Text, 7> texts = {&PublishedPatch::Name,          &PublishedPatch::Products,
                                       &PublishedPatch::SecurityPatch, &PublishedPatch::Platform,
                                       &PublishedPatch::url,           &PublishedPatch::QFE_ID,
                                       &PublishedPatch::ReleaseDate};
} // namespace

class PatchSetData : public QSharedData
{
public:
    QString chars;
    // Seven per patch: where each text ends in chars.
    QList<quint32> ends;
};

PatchSet::PatchSet() = default;
PatchSet::PatchSet(const PatchSet& other) = default;
PatchSet& PatchSet::operator=(const PatchSet& other) = default;
PatchSet::~PatchSet() = default;

PatchSet::PatchSet(std::initializer_list<PublishedPatch> patches)
{
    for (const PublishedPatch& patch : patches)
        append(patch);
}

void PatchSet::append(const PublishedPatch& patch)
{
    if (!d)
        d = new PatchSetData;
    for (const Text text : texts) {
        d->chars += patch.*text;
        d->ends.append(quint32(d->chars.size()));
    }
}

void PatchSet::clear()
{
    d.reset();
}

void PatchSet::squeeze()
{
    if (d) {
        d->chars.squeeze();
        d->ends.squeeze();
    }
}

qsizetype PatchSet::size() const
{
    return d ? d->ends.size() / qsizetype(texts.size()) : 0;
}

PublishedPatch PatchSet::at(qsizetype index) const
{
    Q_ASSERT(index >= 0 && index < size());
    PublishedPatch patch;
    const qsizetype first = index * qsizetype(texts.size());
    qsizetype start = first == 0 ? 0 : d->ends.at(first - 1);
    for (qsizetype field = 0; field < qsizetype(texts.size()); ++field) {
        const qsizetype end = d->ends.at(first + field);
        if (end > start)
            patch.*texts[field] = d->chars.sliced(start, end - start);
        start = end;
    }
    return patch;
}

PublishedPatch PatchSet::value(qsizetype index) const
{
    return index >= 0 && index < size() ? at(index) : PublishedPatch();
}

bool PatchSet::operator==(const PatchSet& other) const
{
    if (d == other.d)
        return true;
    return size() == other.size() && std::equal(begin(), end(), other.begin());
}
