#include "settingsdialog.h"

#include "proxyaddressfield.h"

#include "app/messages.h"
#include "app/runstatus.h"
#include "core/common.h"
#include "ui_settingsdialog.h"

#include <QTabBar>

SettingsDialog::SettingsDialog(Common& runSettings, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SettingsDialog>()), settings(runSettings)
{
    ui->setupUi(this);
    // One page needs no tab, and the window no more room than its fields.
    ui->proxySettingsTab->tabBar()->hide();
    ui->proxySettingsTab->setDocumentMode(true);
    // No port is an empty field, not "0".
    ui->proxyPort->setSpecialValueText(QStringLiteral(" "));
    connect(ui->useProxyCheckbox, &QCheckBox::toggled, this,
            &SettingsDialog::useProxySettingsChecked);
    connect(ui->requireAuthenticationCheckbox, &QCheckBox::toggled, this,
            &SettingsDialog::proxyRequiresAuthenticationChecked);
    connect(ui->useManualProxyRadio, &QRadioButton::toggled, this,
            &SettingsDialog::manualProxyChosen);
    connect(ui->okButton, &QPushButton::clicked, this, &SettingsDialog::onOK);
    connect(ui->cancelButton, &QPushButton::clicked, this, &SettingsDialog::reject);

    const Common* common = &settings;
    ui->useProxyCheckbox->setChecked(common->useProxyServer);
    useProxySettingsChecked(common->useProxyServer);
    (common->useSystemProxy ? ui->useSystemProxyRadio : ui->useManualProxyRadio)->setChecked(true);
    manualProxyChosen(!common->useSystemProxy);
    ui->requireAuthenticationCheckbox->setChecked(common->useProxyAuthentication);
    proxyRequiresAuthenticationChecked(common->useProxyAuthentication);
    loadProxyFields();
    acceptProxyAddresses(ui->proxyHost, ui->proxyPort, ui->proxyUsername, ui->proxyPassword);
    // Group Policy's proxy is shown, not edited: OK keeps it as it is.
    if (settings.policy.fixesProxy()) {
        ui->policyNote->show();
        ui->useProxyCheckbox->setEnabled(false);
        ui->proxySettingsGroupbox->setEnabled(false);
    }
    resize(minimumSizeHint());
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::loadProxyFields()
{
    const QNetworkProxy& proxy = settings.proxy;
    ui->proxyHost->setText(proxy.hostName());
    ui->proxyPort->setValue(proxy.port());
    ui->proxyUsername->setText(proxy.user());
    ui->proxyPassword->setText(proxy.password());
}

void SettingsDialog::useProxySettingsChecked(bool checked)
{
    ui->proxySettingsGroupbox->setEnabled(checked);
}

// The system names the proxy's address; its user and password are still the fields'.
void SettingsDialog::manualProxyChosen(bool manual)
{
    for (QWidget* field :
         {static_cast<QWidget*>(ui->proxyHost), static_cast<QWidget*>(ui->proxyPort),
          static_cast<QWidget*>(ui->label), static_cast<QWidget*>(ui->label_2)})
        field->setEnabled(manual);
}

void SettingsDialog::proxyRequiresAuthenticationChecked(bool checked)
{
    ui->proxyUsername->setEnabled(checked);
    ui->proxyPassword->setEnabled(checked);
}

void SettingsDialog::onOK()
{
    if (settings.policy.fixesProxy()) {
        accept();
        return;
    }
    spreadProxyAddress(ui->proxyHost, ui->proxyPort, ui->proxyUsername, ui->proxyPassword);
    const QString host = ui->proxyHost->text();
    const QString portText = ui->proxyPort->text().trimmed();
    const bool useProxy = ui->useProxyCheckbox->isChecked();
    const bool systemProxy = ui->useSystemProxyRadio->isChecked();

    Common* common = &settings;
    common->useProxyServer = useProxy;
    common->useSystemProxy = systemProxy;
    // Port 0 is no port, as an empty field is none.
    if (useProxy && !systemProxy &&
        (host.isEmpty() || portText.isEmpty() || ui->proxyPort->value() == 0)) {
        showInformationMessage(tr("Missing Fields"),
                               tr("You need to specify a proxy host and port."), nullptr);
        return;
    }
    common->proxy = QNetworkProxy(QNetworkProxy::HttpProxy, host, quint16(portText.toInt()),
                                  ui->proxyUsername->text(), ui->proxyPassword->text());
    common->useProxyAuthentication = ui->requireAuthenticationCheckbox->isChecked();
    (void)saveRunSettingsOrReport(*common);
    accept();
}
