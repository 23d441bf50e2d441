#pragma once

#include <QNetworkProxy>
#include <QString>

#include <optional>

class QCoreApplication;
class QWidget;

// The narrow seam between the core (no widgets) and the desktop interface.
// main() installs the widget implementation; a console run and most tests
// work without one.
class IGuiFrontend
{
public:
    enum class MessageKind
    {
        Critical,
        Information
    };

    virtual ~IGuiFrontend() = default;

    // A widget application, or null when no desktop is available.
    virtual QCoreApplication* createApplication(int& argc, char** argv) = 0;
    virtual void showMessage(MessageKind kind, const QString& title, const QString& text,
                             QWidget* parent) = 0;
};

void setGuiFrontend(IGuiFrontend* frontend);
