#pragma once

#include <QLabel>

// The popup's title bar: reports presses and drags of the left button.
class TitleLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TitleLabel(QWidget* parent = nullptr, Qt::WindowFlags f = {});

signals:
    void pressed(QPoint pos);
    void moved(QPoint pos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool isPressed = false;
};
