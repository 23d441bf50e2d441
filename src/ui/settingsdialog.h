#pragma once

#include <QDialog>

namespace Ui {
class SettingsDialog;
}

// Edits the proxy settings; OK validates, stores and saves them.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SettingsDialog(QWidget* parent = nullptr);
    ~SettingsDialog() override;

public slots:
    void useProxySettingsChecked(bool checked);
    void useSystemProxySettingsChecked(bool checked);
    void useManualProxySettingsChecked(bool checked);
    void proxyRequiresAuthenticationChecked(bool checked);
    void onOK();
    void onCancel();

private:
    void loadProxyFields();
    void enableHostFields(bool enable);

    Ui::SettingsDialog* ui;
};
