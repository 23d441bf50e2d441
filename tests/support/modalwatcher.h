#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QWidget;

// Watches for modal windows opened by the code under test and deals with
// each one by a handler, so no test ever blocks on a modal loop.
class ModalWatcher : public QObject
{
    Q_OBJECT

public:
    struct Seen
    {
        QString className;
        QString title;
        QString text;
        bool plainText = false; // a message box that never reads its text as markup
    };
    using Handler = std::function<void(QWidget* modal)>;

    explicit ModalWatcher(QObject* parent = nullptr);
    // Handles the next modal window (of any class) with the given handler;
    // without handlers left, message boxes are answered with their default button.
    void expect(const Handler& handler);
    QList<Seen> seen() const { return windows; }

private:
    void poll();

    QTimer timer;
    QList<Handler> handlers;
    QList<Seen> windows;
    QPointer<QWidget> lastHandled; // cleared when that window is destroyed
};

// Replaces what the named line edit or spin box of a window holds with typed text.
void typeInto(QWidget* window, const char* field, const QString& text);
