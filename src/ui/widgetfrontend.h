#pragma once

#include "core/guifrontend.h"

// The desktop side of the program: message boxes, the dialogs and the tray run.
class WidgetFrontend : public IGuiFrontend
{
public:
    QCoreApplication* createApplication(int& argc, char** argv) override;
    void showMessage(MessageKind kind, const QString& title, const QString& text,
                     QWidget* parent) override;
    void runDialogMode() override;
    void runTrayMode() override;
};
