#include "app/startup.h"
#include "core/crashexit.h"
#include "ui/widgetfrontend.h"

int main(int argc, char** argv)
{
    int exitCode = 0;
    {
        WidgetFrontend frontend;
        exitCode = runSkyvane(argc, argv, &frontend);
    }
    endProcess(exitCode);
}
