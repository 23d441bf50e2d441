#include "notificationdialog.h"

#include "app/check.h"
#include "core/common.h"
#include "desktopretrieval.h"
#include "report/reporthtml.h"
#include "settingsdialog.h"
#include "sharppixmap.h"
#include "ui_notificationdialog.h"

#include <QPixmap>
#include <QScreen>

NotificationDialog::NotificationDialog(Common& runSettings, const CheckRequest& request,
                                       std::optional<CheckResult> checked, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::NotificationDialog>()), settings(runSettings),
      checkRequest(request), checkResult(std::move(checked))
{
    ui->setupUi(this);
    drawDialogGUI();
    connect(ui->settingsButton, &QPushButton::clicked, this,
            &NotificationDialog::showSettingsDialog);
    connect(ui->checkAgainButton, &QPushButton::clicked, this, &NotificationDialog::checkAgain);
    showProgressView();
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    fitIntoScreen();
    // The check-at-logon box is part of the form but never offered.
    ui->updateCheck->hide();
}

// While the list is fetched, the one button cancels the check and closes the
// window; Enter and Escape do the same.
void NotificationDialog::showProgressView()
{
    ui->mainView->hide();
    ui->checkAgainButton->hide();
    ui->progressDetail->clear();
    ui->progressView->show();
    ui->okButton->setText(tr("Cancel"));
    ui->okButton->setAccessibleName(tr("Cancel"));
    ui->okButton->setAccessibleDescription(tr("Cancels the check and closes the window"));
    ui->okButton->setFocus(Qt::OtherFocusReason);
}

void NotificationDialog::checkAgain()
{
    // The failure that ended the last check does not stop this one.
    if (settings.status == StatusCode::NetworkError)
        settings.status = StatusCode::NoError;
    settings.networkRefusal.clear();
    checkResult.reset();
    showProgressView();
    QMetaObject::invokeMethod(this, &NotificationDialog::getPatchList, Qt::QueuedConnection);
}

NotificationDialog::~NotificationDialog() = default;

void NotificationDialog::fitIntoScreen()
{
    // Room for the window's frame, which is not known before it is shown.
    static const QSize frame(32, 48);
    if (const QScreen* own = screen())
        resize(size().boundedTo(own->availableGeometry().size() - frame));
}

void NotificationDialog::drawDialogGUI()
{
    ui->leftPanel->setStyleSheet(
        QStringLiteral("QLabel#leftPanel { background-color: #1e2d79; padding-top: 10px; }"));
    ui->footer->setStyleSheet(
        QStringLiteral("QFrame#footer { background-color: #ffffff; border-top: 2px solid #777; }"));
    ui->leftPanel->setPixmap(
        sharpPixmap(QStringLiteral(":/res/images/Quorix_Server_Patch_150x480.png"), QSize(150, 480),
                    screen()->devicePixelRatio()));
    ui->progressIcon->setPixmap(sharpPixmap(QStringLiteral(":/res/images/QuorixUpdater32.png"),
                                            QSize(32, 32), screen()->devicePixelRatio()));
    ui->settingsButton->setStyleSheet(
        QStringLiteral("QPushButton#settingsButton { background-color: rgba(255,255,255, 50%); }"));
    ui->progressView->setStyleSheet(QStringLiteral(
        "QWidget#progressView { background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1,stop: 0 "
        "#ffffff, stop: 1.0 #dedede); padding: 10px; color: #444; vertical-align: top; }"));
    ui->progressBar->setRange(0, 0);
    ui->progressBar->setValue(0);
}

void NotificationDialog::showEvent(QShowEvent*)
{
    // Queued, so the window is on screen before the retrieval starts.
    QMetaObject::invokeMethod(
        this, checkResult ? &NotificationDialog::drawMainView : &NotificationDialog::getPatchList,
        Qt::QueuedConnection);
}

void NotificationDialog::getPatchList()
{
    // Closed before the queued retrieval began: there is nothing to fetch for.
    if (!isVisible())
        return;
    DesktopRetrievalHost host(settings);
    retrieval = &host;
    host.showProgress = [this](const QString& text) { ui->progressDetail->setText(text); };
    checkResult = runCheck(checkRequest, host);
    retrieval = nullptr;
    QMetaObject::invokeMethod(this, &NotificationDialog::drawMainView, Qt::QueuedConnection);
}

void NotificationDialog::drawMainView()
{
    ui->mainView->setStyleSheet(
        QStringLiteral("QTextBrowser#mainView { background: #ffffff; padding: 10px; color: #444; "
                       "vertical-align: top; }"));
    ui->mainView->setFont(QFont(QStringLiteral("Segoe UI Semibold"), 9));

    ui->mainView->setHtml(buildReportHtml(*checkResult));
    ui->mainView->setOpenExternalLinks(true);
    ui->progressView->hide();
    ui->mainView->show();
    ui->okButton->setText(tr("OK"));
    ui->okButton->setAccessibleName(tr("OK"));
    ui->okButton->setAccessibleDescription(tr("Closes the report"));
    // A check that found no list can be made again from here.
    ui->checkAgainButton->setVisible(hasNoUsableList(*checkResult));
    // Reading starts in the report: the keys of reading scroll it at once.
    ui->mainView->setFocus(Qt::OtherFocusReason);
}

void NotificationDialog::showSettingsDialog()
{
    // The hidden check-at-logon box is never checked; the dialog's OK saves it so.
    settings.checkAtLogin = false;
    SettingsDialog dialog(settings);
    dialog.exec();
}

void NotificationDialog::done(int result)
{
    // However it is closed (OK, Escape, the window's button), a retrieval under
    // way ends with it, and so does the run.
    if (retrieval)
        retrieval->abort();
    QDialog::done(result);
}

void NotificationDialog::on_okButton_clicked()
{
    close();
}
