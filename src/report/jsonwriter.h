#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// Writes JSON text as it goes, laid out as QJsonDocument lays it out
// (compact, or indented by four spaces), without building a document first.
// Texts are valid Unicode: a surrogate outside a pair, which a registry text
// may hold and which consumers such as jq refuse, is written as U+FFFD.
// The caller writes an object's members in the order it wants them shown.
class JsonWriter
{
public:
    enum class Layout
    {
        Compact,
        Indented
    };

    JsonWriter(QByteArray& target, Layout layout) : out(target), compact(layout == Layout::Compact)
    {
    }

    // Members of an object: key(), then one value or container.
    JsonWriter& key(const char* name);
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void value(const QString& text);
    void value(qint64 number);
    void value(int number) { value(qint64(number)); }
    void value(bool flag);
    void value(const std::optional<qint64>& number); // null when there is none
    void null();

    // A member with its value.
    template <typename T> void member(const char* name, const T& v)
    {
        key(name);
        value(v);
    }

    static void appendEscaped(QByteArray& out, const QString& text);

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);

    struct Level
    {
        int members = 0;
    };
    QByteArray& out;
    bool compact;
    std::vector<Level> levels;
    bool afterKey = false;
};
