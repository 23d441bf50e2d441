#include "settingsdialog.h"

#include "app/common.h"
#include "app/messages.h"
#include "ui_settingsdialog.h"

SettingsDialog::SettingsDialog(QWidget* parent) : QDialog(parent), ui(new Ui::SettingsDialog)
{
    ui->setupUi(this);
    connect(ui->useProxyCheckbox, &QCheckBox::toggled, this,
            &SettingsDialog::useProxySettingsChecked);
    connect(ui->useSystemProxyRadio, &QRadioButton::toggled, this,
            &SettingsDialog::useSystemProxySettingsChecked);
    connect(ui->useManualProxyRadio, &QRadioButton::toggled, this,
            &SettingsDialog::useManualProxySettingsChecked);
    connect(ui->requireAuthenticationCheckbox, &QCheckBox::toggled, this,
            &SettingsDialog::proxyRequiresAuthenticationChecked);
    connect(ui->okButton, &QPushButton::clicked, this, &SettingsDialog::onOK);
    connect(ui->cancelButton, &QPushButton::clicked, this, &SettingsDialog::onCancel);

    Common* common = Common::instance();
    ui->useProxyCheckbox->setChecked(common->useProxyServer);
    ui->proxySettingsGroupbox->setEnabled(common->useProxyServer);

    const bool systemProxy = common->useSystemProxy;
    ui->useSystemProxyRadio->setChecked(systemProxy);
    useSystemProxySettingsChecked(systemProxy);
    ui->useManualProxyRadio->setChecked(!systemProxy);
    useManualProxySettingsChecked(!systemProxy);
    ui->useSystemProxyRadio->setChecked(false);

    enableHostFields(true);
    ui->proxyUsername->setEnabled(true);
    loadProxyFields();
    ui->useSystemProxyRadio->hide();
    ui->useManualProxyRadio->hide();

    ui->requireAuthenticationCheckbox->setChecked(common->useProxyAuthentication);
    proxyRequiresAuthenticationChecked(ui->requireAuthenticationCheckbox->isChecked());
    loadProxyFields();
}

SettingsDialog::~SettingsDialog()
{
    delete ui;
}

void SettingsDialog::enableHostFields(bool enable)
{
    ui->proxyHost->setEnabled(enable);
    ui->proxyPassword->setEnabled(enable);
    ui->proxyPort->setEnabled(enable);
    ui->requireAuthenticationCheckbox->setEnabled(enable);
}

void SettingsDialog::loadProxyFields()
{
    Common* common = Common::instance();
    const QNetworkProxy proxy =
        ui->useSystemProxyRadio->isChecked() ? common->systemProxy : common->proxy();
    ui->proxyHost->setText(proxy.hostName());
    const QString portText = proxy.port() != 0 ? QString::number(proxy.port()) : QString();
    ui->proxyPort->setValue(portText.toInt());
    ui->proxyUsername->setText(proxy.user());
    ui->proxyPassword->setText(proxy.password());
}

void SettingsDialog::useProxySettingsChecked(bool checked)
{
    ui->proxySettingsGroupbox->setEnabled(checked);
}

void SettingsDialog::useSystemProxySettingsChecked(bool checked)
{
    enableHostFields(!checked);
    ui->proxyUsername->setEnabled(!checked);
    loadProxyFields();
}

void SettingsDialog::useManualProxySettingsChecked(bool checked)
{
    enableHostFields(checked);
    proxyRequiresAuthenticationChecked(ui->requireAuthenticationCheckbox->isChecked());
    loadProxyFields();
}

void SettingsDialog::proxyRequiresAuthenticationChecked(bool checked)
{
    ui->proxyUsername->setEnabled(checked);
    ui->proxyPassword->setEnabled(checked);
}

void SettingsDialog::onOK()
{
    const QString host = ui->proxyHost->text();
    const QString portText = ui->proxyPort->text();
    const QString user = ui->proxyUsername->text();
    const QString password = ui->proxyPassword->text();
    const bool useProxy = ui->useProxyCheckbox->isChecked();
    const bool authenticate = ui->requireAuthenticationCheckbox->isChecked();
    const bool systemProxy = ui->useSystemProxyRadio->isChecked();

    Common* common = Common::instance();
    common->useProxyServer = useProxy;
    if (useProxy && !systemProxy && (host.isEmpty() || portText.isEmpty())) {
        showInformationMessage(tr("Missing Fields"),
                               tr("You need to specify a proxy host and port."), nullptr);
        return;
    }
    const QNetworkProxy proxy(QNetworkProxy::HttpProxy, host, quint16(portText.toInt(nullptr, 10)),
                              user, password);
    common->useProxyAuthentication = authenticate;
    common->useSystemProxy = systemProxy;
    if (systemProxy)
        common->systemProxy = proxy;
    else
        common->manualProxy = proxy;
    common->saveSettings();
    accept();
}

void SettingsDialog::onCancel()
{
    reject();
}
