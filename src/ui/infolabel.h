#pragma once

#include <QLabel>

// The popup's message: a left click (on release) opens the report.
class InfoLabel : public QLabel
{
    Q_OBJECT

public:
    explicit InfoLabel(QWidget* parent = nullptr, Qt::WindowFlags f = {});

signals:
    void clicked(QPoint pos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
