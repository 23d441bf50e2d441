#pragma once

#include "app/check.h"

#include <QDialog>
#include <QList>

#include <memory>
#include <optional>

class DesktopRetrievalHost;

namespace Ui {
class NotificationDialog;
}

// The report window: a progress view while the patch list is fetched, then
// the installed products, the available updates and the installed patches.
class NotificationDialog : public QDialog
{
    Q_OBJECT

public:
    // Shows the given check, or makes the one requested when it opens.
    NotificationDialog(Common& settings, const CheckRequest& request,
                       std::optional<CheckResult> checked = std::nullopt,
                       QWidget* parent = nullptr);
    ~NotificationDialog() override;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void on_okButton_clicked();
    void drawMainView();
    void showSettingsDialog();
    void getPatchList();
    void checkAgain();

private:
    void drawDialogGUI();
    void showProgressView();
    // On a small or scaled screen the report scrolls rather than leave the screen.
    void fitIntoScreen();

    std::unique_ptr<Ui::NotificationDialog> ui;
    Common& settings;
    CheckRequest checkRequest;
    std::optional<CheckResult> checkResult;
    DesktopRetrievalHost* retrieval = nullptr; // while the list is fetched
};
