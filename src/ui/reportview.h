#pragma once

#include <QTextBrowser>

// The report. Tab and Shift+Tab leave it like any other control, so OK and
// the settings button are a press or two away however many links it holds;
// Ctrl+Tab and Ctrl+Shift+Tab move between its links, and Enter opens one.
// The keys of reading (arrows, PgUp, PgDn, Home, End) scroll it.
class ReportView : public QTextBrowser
{
    Q_OBJECT

public:
    explicit ReportView(QWidget* parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
};
