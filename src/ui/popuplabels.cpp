#include "infolabel.h"
#include "titlelabel.h"

#include <QMouseEvent>

TitleLabel::TitleLabel(QWidget* parent, Qt::WindowFlags f) : QLabel(parent, f) {}

void TitleLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    emit pressed(event->position().toPoint());
    isPressed = true;
}

void TitleLabel::mouseMoveEvent(QMouseEvent* event)
{
    if (isPressed)
        emit moved(event->position().toPoint());
}

void TitleLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        isPressed = false;
}

InfoLabel::InfoLabel(QWidget* parent, Qt::WindowFlags f) : QLabel(parent, f) {}

void InfoLabel::mousePressEvent(QMouseEvent*) {}

void InfoLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked(event->position().toPoint());
}
