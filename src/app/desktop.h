#pragma once

#include "check.h"
#include "core/common.h"
#include "guifrontend.h"

// The desktop's runs, which the program's top supplies with the widgets: the
// report dialog and the tray run, each for the check start-up prepared.
class IDesktop : public IGuiFrontend
{
public:
    virtual void runDialogMode(const CheckRequest& request, Common& settings) = 0;
    // False when there is no tray to run in (and nothing was checked).
    virtual bool runTrayMode(const CheckRequest& request, Common& settings) = 0;
};
