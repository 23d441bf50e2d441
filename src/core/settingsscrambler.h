#pragma once

#include <QString>

#include <array>

// Keyed byte-chaining scrambler for the stored proxy password. It keeps the
// password from being read at a glance; it is not encryption.
class SettingsScrambler
{
public:
    explicit SettingsScrambler(quint64 key);

    QString scramble(const QString& plain) const;
    QString unscramble(const QString& hex) const;

private:
    std::array<quint8, 8> keyBytes;
};
