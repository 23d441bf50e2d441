#pragma once

#include "app/desktop.h"

// The desktop side of the program: message boxes, the dialogs and the tray run.
class WidgetFrontend : public IDesktop
{
public:
    QCoreApplication* createApplication(int& argc, char** argv) override;
    void showMessage(MessageKind kind, const QString& title, const QString& text,
                     QWidget* parent) override;
    void runDialogMode(const CheckRequest& request, Common& settings) override;
    bool runTrayMode(const CheckRequest& request, Common& settings) override;
};
