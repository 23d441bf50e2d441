#include "settingsscrambler.h"

#include <QByteArray>
#include <QRandomGenerator>

SettingsScrambler::SettingsScrambler(quint64 key)
{
    for (int i = 0; i < 8; ++i)
        keyBytes[size_t(i)] = quint8((key >> (8 * i)) & 0xff);
}

QString SettingsScrambler::scramble(const QString& plain) const
{
    if (plain.isEmpty())
        return QString();
    QByteArray data = plain.toUtf8();
    data.prepend(char(QRandomGenerator::global()->bounded(256)));
    quint8 prev = 0;
    for (int i = 0; i < data.size(); ++i) {
        const quint8 value = quint8(data[i]) ^ keyBytes[size_t(i % 8)] ^ prev;
        data[i] = char(value);
        prev = value;
    }
    return QString::fromLatin1(data.toHex());
}

QString SettingsScrambler::unscramble(const QString& hex) const
{
    if (hex.isEmpty())
        return QString();
    QByteArray data = QByteArray::fromHex(hex.toLatin1());
    quint8 prev = 0;
    for (int i = 0; i < data.size(); ++i) {
        const quint8 current = quint8(data[i]);
        data[i] = char(current ^ prev ^ keyBytes[size_t(i % 8)]);
        prev = current;
    }
    return QString::fromUtf8(data.mid(1));
}
