#include "widgetfrontend.h"

#include "iconwindow.h"
#include "notificationdialog.h"

#include <QApplication>
#include <QMessageBox>

namespace {
// Without a display server QApplication would abort the process; the program
// then runs as a console application, so /h, /p, /k and /s still work.
bool desktopAvailable()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return true;
#else
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#endif
}
} // namespace

QCoreApplication* WidgetFrontend::createApplication(int& argc, char** argv)
{
    if (!desktopAvailable())
        return nullptr;
    return new QApplication(argc, argv);
}

void WidgetFrontend::showMessage(MessageKind kind, const QString& title, const QString& text,
                                 QWidget* parent)
{
    // Plain text: a message may hold what a server sent, which must never be
    // taken for markup.
    QMessageBox box(kind == MessageKind::Critical ? QMessageBox::Critical
                                                  : QMessageBox::Information,
                    title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void WidgetFrontend::runDialogMode(const CheckRequest& request, Common& settings)
{
    NotificationDialog dialog(settings, request);
    dialog.exec();
}

void WidgetFrontend::runTrayMode(const CheckRequest& request, Common& settings)
{
    IconWindow window(settings, request); // the whole tray run
}
