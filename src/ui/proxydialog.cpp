#include "proxydialog.h"

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
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(tr("Proxy Credentials"));

    // Centred on the default screen, never on a parent.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const QRect own = frameGeometry();
        const QPoint screenCentre((area.left() + area.right()) / 2,
                                  (area.top() + area.bottom()) / 2);
        const QPoint ownCentre((own.left() + own.right()) / 2, (own.top() + own.bottom()) / 2);
        move(pos() + screenCentre - ownCentre);
    }
}

ProxyDialog::~ProxyDialog() = default;

void ProxyDialog::disableHostFields(bool disable)
{
    if (!disable)
        return;
    ui->hostEdit->setEnabled(false);
    ui->proxyPort->setEnabled(false);
}

void ProxyDialog::onAccepted()
{
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
