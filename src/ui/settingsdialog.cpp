#include "settingsdialog.h"

#include "labelfit.h"
#include "proxyaddressfield.h"

#include "app/messages.h"
#include "app/runstatus.h"
#include "core/common.h"
#include "ui_settingsdialog.h"

#include <QScreen>

SettingsDialog::SettingsDialog(Common& runSettings, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SettingsDialog>()), settings(runSettings)
{
    ui->setupUi(this);
    // No port is an empty field, not "0"; a fifth digit above 65535 is typed,
    // so that OK can refuse it instead of the field dropping it unseen.
    ui->proxyPort->setSpecialValueText(QStringLiteral(" "));
    ui->proxyPort->setMaximum(maxTypedPort);
    fitLabelsAndFields();
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
    // The form's own size where the screen has room for it, and never less
    // than the texts need.
    const QScreen* shown = screen();
    const QSize room = shown ? shown->availableGeometry().size() : QSize(570, 419);
    resize(QSize(570, 419).boundedTo(room).expandedTo(sizeHint()));
}

// A label is never narrower than its text in the language shown, and the
// host field shows a whole host name.
void SettingsDialog::fitLabelsAndFields()
{
    fitLabelsToTexts(*this);
    ui->proxyHost->setMinimumWidth(
        ui->proxyHost->fontMetrics().horizontalAdvance(QStringLiteral("proxy.corp.example.com")) +
        2 * ui->proxyHost->fontMetrics().averageCharWidth());
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
    // Port 0 is no port, as an empty field is none; the message leaves the
    // cursor in the field to mend.
    if (useProxy && !systemProxy) {
        const bool noPort = portText.isEmpty() || ui->proxyPort->value() == 0;
        if (host.isEmpty() || noPort) {
            showInformationMessage(tr("Missing Fields"),
                                   tr("You need to specify a proxy host and port."), nullptr);
            (host.isEmpty() ? static_cast<QWidget*>(ui->proxyHost) : ui->proxyPort)->setFocus();
            return;
        }
        if (ui->proxyPort->value() > 65535) {
            showInformationMessage(tr("Invalid Port"),
                                   tr("The proxy port must be a number from 1 to 65535."), nullptr);
            ui->proxyPort->setFocus();
            ui->proxyPort->selectAll();
            return;
        }
    }
    common->proxy = QNetworkProxy(QNetworkProxy::HttpProxy, host, quint16(portText.toInt()),
                                  ui->proxyUsername->text(), ui->proxyPassword->text());
    common->useProxyAuthentication = ui->requireAuthenticationCheckbox->isChecked();
    (void)saveRunSettingsOrReport(*common);
    accept();
}
