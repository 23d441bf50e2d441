#include "modalwatcher.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

ModalWatcher::ModalWatcher(QObject* parent) : QObject(parent)
{
    connect(&timer, &QTimer::timeout, this, &ModalWatcher::poll);
    timer.start(10);
}

void ModalWatcher::expect(const Handler& handler)
{
    handlers.append(handler);
}

void ModalWatcher::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == lastHandled || !modal->isVisible())
        return;
    lastHandled = modal;
    Seen seen{
        QString::fromLatin1(modal->metaObject()->className()), modal->windowTitle(), {}, false};
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        seen.text = box->text();
        seen.plainText = box->textFormat() == Qt::PlainText;
    }
    windows.append(seen);
    if (!handlers.isEmpty()) {
        handlers.takeFirst()(modal);
        return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
}

void typeInto(QWidget* window, const char* field, const QString& text)
{
    auto* widget = window->findChild<QWidget*>(QLatin1String(field));
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->clear();
    else
        qobject_cast<QAbstractSpinBox*>(widget)->selectAll();
    QTest::keyClicks(widget, text);
}
