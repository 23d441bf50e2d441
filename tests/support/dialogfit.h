#pragma once

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStringList>

// The texts of a shown form's labels and buttons that are wider than the
// widget that shows them.
inline QStringList cutTexts(const QWidget& form)
{
    QStringList cut;
    for (const QLabel* label : form.findChildren<QLabel*>()) {
        if (label->isVisible() && !label->wordWrap() && label->pixmap().isNull() &&
            label->minimumSizeHint().width() > label->width())
            cut << label->text();
    }
    for (const QAbstractButton* button : form.findChildren<QAbstractButton*>()) {
        if (button->isVisible() && !button->text().isEmpty() &&
            button->sizeHint().width() > button->width())
            cut << button->text();
    }
    return cut;
}

// The program's translations as it ships them, beside it in "locale".
inline QStringList shippedCatalogues()
{
    const QDir folder(QFileInfo(QStringLiteral(SKYVANE_BINARY)).path() + QStringLiteral("/locale"));
    QStringList files;
    for (const QString& name : folder.entryList({QStringLiteral("skyvane_*.qm")}, QDir::Files))
        files << folder.filePath(name);
    return files;
}
