#pragma once

#include <QString>

class QWidget;

// True when the application object exists and is a widget application.
bool isGuiApplication();

// A message box in a GUI application; one "<<<< text >>>>" line on standard output otherwise.
void showCriticalMessage(const QString& title, const QString& text, QWidget* parent);
void showInformationMessage(const QString& title, const QString& text, QWidget* parent);
// A failure the user must know of: logged at Error, then shown as a critical message.
void reportError(const QString& title, const QString& text);
