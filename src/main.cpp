#include "app/startup.h"
#include "ui/widgetfrontend.h"

int main(int argc, char** argv)
{
    WidgetFrontend frontend;
    return runSkyvane(argc, argv, &frontend);
}
