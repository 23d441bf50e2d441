#include "proxydialog.h"

#include "labelfit.h"
#include "proxyaddressfield.h"
#include "ui_proxydialog.h"

#include <QGuiApplication>
#include <QScreen>

ProxyDialog::ProxyDialog(const QNetworkProxy& proxy, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::ProxyDialog>()), edited(proxy)
{
    ui->setupUi(this);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &ProxyDialog::onAccepted);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &ProxyDialog::onRejected);

    ui->hostEdit->setText(edited.hostName());
    ui->proxyPort->setValue(edited.port());
    ui->userEdit->setText(edited.user());
    ui->passEdit->setText(edited.password());
    acceptProxyAddresses(ui->hostEdit, ui->proxyPort, ui->userEdit, ui->passEdit);
    ui->schemeLabel->hide();
    fitLabelsToTexts(*this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(tr("Proxy Credentials"));

    adjustSize();
}

void ProxyDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A wrapped label knows its height only now.
    adjustSize();
    // Centred on the default screen's work area, never on a parent: here,
    // where its size after layout and its frame are known.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect own = frameGeometry();
        own.moveCenter(screen->availableGeometry().center());
        move(own.topLeft());
    }
}

ProxyDialog::~ProxyDialog() = default;

void ProxyDialog::showScheme(const QString& scheme)
{
    ui->schemeLabel->setText(tr("The proxy asks for %1 authentication.").arg(scheme));
    ui->schemeLabel->setVisible(!scheme.isEmpty());
}

void ProxyDialog::disableHostFields(bool disable)
{
    if (!disable)
        return;
    ui->hostEdit->setEnabled(false);
    ui->proxyPort->setEnabled(false);
}

void ProxyDialog::onAccepted()
{
    spreadProxyAddress(ui->hostEdit, ui->proxyPort, ui->userEdit, ui->passEdit);
    edited.setHostName(ui->hostEdit->text());
    edited.setPort(quint16(ui->proxyPort->value()));
    edited.setUser(ui->userEdit->text());
    edited.setPassword(ui->passEdit->text());
    accept();
    close();
}

void ProxyDialog::onRejected()
{
    close();
}
