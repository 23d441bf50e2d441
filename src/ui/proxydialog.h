#pragma once

#include <QDialog>
#include <QNetworkProxy>

#include <memory>

namespace Ui {
class ProxyDialog;
}

// Asks for the credentials of a proxy that refused a request.
class ProxyDialog : public QDialog
{
    Q_OBJECT

public:
    ProxyDialog(const QNetworkProxy& proxy, QWidget* parent = nullptr);
    ~ProxyDialog() override;

    void disableHostFields(bool disable);
    // Names the authentication scheme the proxy asked for; nothing when empty.
    void showScheme(const QString& scheme);
    QNetworkProxy proxy() const { return edited; }

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void onAccepted();
    void onRejected();

private:
    std::unique_ptr<Ui::ProxyDialog> ui;
    QNetworkProxy edited;
};
