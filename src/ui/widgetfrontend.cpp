#include "widgetfrontend.h"

#include "iconwindow.h"
#include "notificationdialog.h"

#include "core/interactivesession.h"

#include <QApplication>
#include <QMessageBox>

QCoreApplication* WidgetFrontend::createApplication(int& argc, char** argv)
{
    // Without one the program runs as a console application, so /h, /p, /k
    // and /s still work and a GUI mode says why it cannot start.
    if (!isInteractiveSession())
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

bool WidgetFrontend::runTrayMode(const CheckRequest& request, Common& settings)
{
    const IconWindow window(settings, request); // the whole tray run
    return window.icon() != nullptr;
}
