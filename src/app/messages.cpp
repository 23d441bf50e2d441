#include "messages.h"

#include "core/console.h"
#include "core/logger.h"
#include "guifrontend.h"

#include <QCoreApplication>

namespace {
IGuiFrontend* installedFrontend = nullptr;

void showMessage(IGuiFrontend::MessageKind kind, const QString& title, const QString& text,
                 QWidget* parent)
{
    if (isGuiApplication() && installedFrontend) {
        installedFrontend->showMessage(kind, title, text, parent);
        return;
    }
    writeMessageLine(QStringLiteral("<<<< ") + text + QStringLiteral(" >>>>"));
}
} // namespace

void setGuiFrontend(IGuiFrontend* frontend)
{
    installedFrontend = frontend;
}

bool isGuiApplication()
{
    // The meta-object test of qobject_cast<QApplication*>, without linking the widgets.
    const QCoreApplication* app = QCoreApplication::instance();
    return app && app->inherits("QApplication");
}

void showCriticalMessage(const QString& title, const QString& text, QWidget* parent)
{
    showMessage(IGuiFrontend::MessageKind::Critical, title, text, parent);
}

void showInformationMessage(const QString& title, const QString& text, QWidget* parent)
{
    showMessage(IGuiFrontend::MessageKind::Information, title, text, parent);
}

void reportError(const QString& title, const QString& text)
{
    qCCritical(lcApp).noquote() << text;
    showCriticalMessage(title, text, nullptr);
}
