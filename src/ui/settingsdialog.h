#pragma once

#include <QDialog>

#include <memory>

class Common;

namespace Ui {
class SettingsDialog;
}

// Edits the proxy settings; OK validates, stores and saves them.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SettingsDialog(Common& settings, QWidget* parent = nullptr);
    ~SettingsDialog() override;

private slots:
    void useProxySettingsChecked(bool checked);
    void proxyRequiresAuthenticationChecked(bool checked);
    void manualProxyChosen(bool manual);
    void onOK();

private:
    void loadProxyFields();
    void fitLabelsAndFields();

    // Five digits, one past what a port can be.
    static constexpr int maxTypedPort = 99999;

    std::unique_ptr<Ui::SettingsDialog> ui;
    Common& settings;
};
