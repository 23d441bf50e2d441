#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <deque>
#include <optional>
#include <utility>

// The encoding a patch list's bytes are read in: UTF-8 when they are valid
// UTF-8 (JSON's own encoding; a byte order mark is passed over), else one
// character per byte as Latin-1, as lists always were.
struct ListEncoding
{
    bool latin1 = false;
    qsizetype start = 0; // after a byte order mark
};
ListEncoding detectListEncoding(const QByteArray& bytes);
// The bytes as text, in the encoding detectListEncoding() finds.
QString decodeListText(const QByteArray& bytes);

// The text of a JSON number as the general format with 15 significant
// digits shows the double it converts to (out of range: "inf", "-inf" or 0).
QString jsonNumberText(QByteArrayView text);

// Bytes as a RapidJSON input stream of UTF-8: Latin-1 bytes are turned into
// UTF-8 on the fly, so that no converted copy is made.
//
// Every number that JSON's grammar allows reaches the reader as "0", its own
// text waiting in a queue for the handler: the reader refuses numbers past
// the range of a double, which the conversion rules turn into infinity. A
// number JSON does not allow ("0.1.2", "0e+-1") ends the input, so the
// document is refused.
//
// A lone surrogate escape ("\ud800") is valid JSON that the reader refuses;
// it reaches the reader as U+10FFFF, and takeText() puts the lone unit back.
class JsonInput
{
public:
    using Ch = char;

    JsonInput(const QByteArray& bytes, const ListEncoding& encoding);
    JsonInput(const QByteArray& bytes, bool latin1, qsizetype start);

    Ch Peek() const;
    Ch Take();
    size_t Tell() const { return size_t(position); }
    // A NUL byte reads like the end to the reader; only this tells them apart.
    bool atEnd() const { return position == size && !standIn && !pendingLeft() && !broken; }
    bool latin1Input() const { return latin1; }
    // Where the next character comes from; only meaningful between tokens.
    qsizetype sourcePosition() const { return position; }
    // The text of the number the reader has just read, if it was one.
    std::optional<QByteArrayView> takeNumber();
    // The text of the string the reader has just read.
    QString takeText(const char* text, qsizetype length);
    // The string the reader has just read is not wanted.
    void skipText() { maxCodePoints.clear(); }

    Ch* PutBegin() { return nullptr; }
    void Put(Ch) {}
    void Flush() {}
    size_t PutEnd(Ch*) { return 0; }

private:
    void prepareNumber();
    void takeEscape();
    std::optional<char16_t> escapedUnitAt(qsizetype at) const;
    bool pendingLeft() const { return pendingAt < pendingSize; }
    void setPending(const char* text, int length);

    const char* data;
    const qsizetype size;
    const bool latin1;
    qsizetype position;
    bool inString = false;
    bool escaped = false;
    bool standIn = false;
    bool broken = false;
    // Characters handed out before the next byte of the data.
    std::array<char, 16> pending{};
    int pendingAt = 0;
    int pendingSize = 0;
    std::deque<std::pair<qsizetype, qsizetype>> numbers;
    // For each U+10FFFF of the current string: the lone unit it stands for,
    // or nothing for a real U+10FFFF.
    std::deque<std::optional<char16_t>> maxCodePoints;
};
