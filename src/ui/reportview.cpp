#include "reportview.h"

#include <QKeyEvent>

ReportView::ReportView(QWidget* parent) : QTextBrowser(parent) {}

bool ReportView::focusNextPrevChild(bool next)
{
    return QWidget::focusNextPrevChild(next);
}

void ReportView::keyPressEvent(QKeyEvent* event)
{
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && (event->modifiers() & Qt::ControlModifier)) {
        const bool backwards =
            event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
        QTextBrowser::focusNextPrevChild(!backwards);
        return;
    }
    QTextBrowser::keyPressEvent(event);
}
