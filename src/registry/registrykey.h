#pragma once

// The inside of a registry export's store, shared by the store and the
// grammar that fills it.

#include "registryfile.h"

#include <QHash>
#include <QString>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

// How Windows tells key and value names apart: by simple upper-case mapping,
// one code point at a time (no "SS" for "ß"), whatever the order of sections.
QString registryIdentity(QStringView name);

struct RegistryFileStore::Key
{
    struct Value
    {
        QString upperName;
        QString name; // as spelled
        QString text;
    };

    // Most keys hold a few values, kept in a short list; a key with many gets
    // an index, so that reading it stays linear.
    const Value* findValue(const QString& upper) const
    {
        if (!index.isEmpty()) {
            const auto it = index.constFind(upper);
            return it == index.constEnd() ? nullptr : &values[size_t(*it)];
        }
        const auto it = std::find_if(values.begin(), values.end(),
                                     [&upper](const Value& v) { return v.upperName == upper; });
        return it == values.end() ? nullptr : &*it;
    }
    void setValue(const QString& valueName, const QString& text)
    {
        const QString upper = registryIdentity(valueName);
        if (const Value* found = findValue(upper)) {
            const_cast<Value*>(found)->text = text;
            return;
        }
        values.push_back({upper, valueName, text});
        if (!index.isEmpty() || values.size() > indexedFrom) {
            if (index.isEmpty()) {
                for (size_t i = 0; i < values.size(); ++i)
                    index.insert(values[i].upperName, qsizetype(i));
            } else {
                index.insert(upper, qsizetype(values.size() - 1));
            }
        }
    }
    void removeValue(const QString& valueName)
    {
        const QString upper = registryIdentity(valueName);
        values.erase(std::remove_if(values.begin(), values.end(),
                                    [&upper](const Value& v) { return v.upperName == upper; }),
                     values.end());
        index.clear();
        if (values.size() > indexedFrom) {
            for (size_t i = 0; i < values.size(); ++i)
                index.insert(values[i].upperName, qsizetype(i));
        }
    }

    static constexpr size_t indexedFrom = 16;
    QString name;
    std::map<QString, std::unique_ptr<Key>> children; // by identity: the registry's order
    std::vector<Value> values;
    QHash<QString, qsizetype> index;
};
