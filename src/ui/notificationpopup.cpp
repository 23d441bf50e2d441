#include "notificationpopup.h"

#include "app/runstatus.h"
#include "core/common.h"
#include "core/logger.h"
#include "sharppixmap.h"
#include "ui_notificationpopup.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>

namespace {
// A white cross for the close button, drawn sharp at the screen's scale.
QIcon closeIcon(qreal devicePixelRatio)
{
    constexpr int side = 10;
    QPixmap pixmap(QSize(side, side) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(1.5, 1.5), QPointF(side - 1.5, side - 1.5));
    painter.drawLine(QPointF(side - 1.5, 1.5), QPointF(1.5, side - 1.5));
    return QIcon(pixmap);
}
} // namespace

PopupPlacement popupPlacement(const QRect& available, const QRect& screen, const QSize& size)
{
    const int w = size.width();
    const int h = size.height();
    const int x = available.x() + available.width() - w - 20;
    const int y = available.y() + available.height() - h - 20;
    return {QRect(x, y, w, h), QRect(x, screen.bottom(), w, 0)};
}

QRect popupSlideOutEnd(const QRect& from, const QRect& screen)
{
    return QRect(from.x(), screen.bottom() + 1, from.width(), from.height());
}

QPoint reportPosition(const QRect& report, const QRect& popup, const QRect& available)
{
    constexpr int gap = 10;
    const auto clamped = [&available](int value, int size, int low, int extent) {
        return std::max(low, std::min(value, low + extent - size));
    };
    const int left = popup.left() - gap - report.width();
    if (!report.intersects(popup))
        return report.topLeft();
    if (left >= available.left())
        return {left, clamped(report.top(), report.height(), available.top(), available.height())};
    const int above = popup.top() - gap - report.height();
    if (above >= available.top())
        return {clamped(report.left(), report.width(), available.left(), available.width()), above};
    return report.topLeft();
}

NotificationPopup::NotificationPopup(Common& runSettings, const QString& text, int timeoutSeconds,
                                     PopupTiming popupTiming, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::NotificationPopup>()), message(text),
      timing(popupTiming), settings(runSettings)
{
    ui->setupUi(this);
    // A frameless tool window above the others rather than a Qt::Popup: a popup
    // closes when the report opens from it or when the tray icon is clicked,
    // and it takes the keyboard. This one never takes the focus from other
    // programs and, shown without modality, leaves the tray menu usable.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(QFont(QStringLiteral("Segoe UI Semibold"), 9));

    setStyleSheet(QStringLiteral(
        "QDialog#NotificationPopup { background-color: white; border: 1px solid #444; }"));
    ui->titleBar->setStyleSheet(
        QStringLiteral("QLabel#titleBar { background-color: #3953d5; color: white; padding-left: "
                       "10px; font-weight: bold; border: 1px outset #222; }"));
    ui->closeButton->setStyleSheet(
        QStringLiteral("QPushButton#closeButton { background-color: #3953d5; color: white; "
                       "font-weight: bold; border: 1px outset #222; }"));
    ui->leftPanel->setStyleSheet(QStringLiteral("QLabel#leftPanel { background-color: #1e2d79; "
                                                "padding-left: 10px; padding-right: 10px; }"));
    ui->mainView->setStyleSheet(QStringLiteral(
        "QLabel#mainView { background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1,stop: 0 "
        "#1e2d79, stop: 1.0 #6f85f5); color: white; padding-left: 10px; padding-right: 10px; }"));
    ui->updateCheck->setStyleSheet(
        QStringLiteral("QCheckBox#updateCheck { background-color: #6f85f5; color: #ffffff; "
                       "padding-left: 10px; }"));

    ui->closeButton->setIcon(closeIcon(screen()->devicePixelRatio()));
    ui->closeButton->setIconSize(QSize(10, 10));
    ui->leftPanel->setPixmap(sharpPixmap(QStringLiteral(":/res/images/Quorix_Server_Patch_128.png"),
                                         QSize(128, 128), screen()->devicePixelRatio()));
    showText();

    connect(ui->mainView, &InfoLabel::clicked, this, &NotificationPopup::reportRequested);
    connect(ui->titleBar, &TitleLabel::pressed, this, &NotificationPopup::onTitlePressed);
    connect(ui->titleBar, &TitleLabel::moved, this, &NotificationPopup::onTitleMoved);

    if (timeoutSeconds != -1)
        QTimer::singleShot(timeoutSeconds * timing.millisecondsPerSecond, this,
                           &NotificationPopup::timerDone);

    // The check-at-logon box is part of the form but never offered.
    ui->updateCheck->hide();
}

NotificationPopup::~NotificationPopup() = default;

void NotificationPopup::showText()
{
    QString html = QStringLiteral("<h2>Quorix for Server and Extensions</h2>") +
                   QStringLiteral("<p> %1 </p>").arg(message);
    for (const QString& line : std::as_const(lines))
        html += QStringLiteral("<p> %1 </p>").arg(line.toHtmlEscaped());
    ui->mainView->setText(html);
}

void NotificationPopup::addLine(const QString& line)
{
    lines.append(line);
    showText();
}

void NotificationPopup::setScreenForPlacement(QScreen* screen)
{
    placementScreen = screen;
}

const QScreen* NotificationPopup::screenForPlacement() const
{
    return placementScreen ? placementScreen.data() : QGuiApplication::primaryScreen();
}

void NotificationPopup::showEvent(QShowEvent*)
{
    // Its natural size wherever that fits the work area with the margins
    // (adjustSize() would hold a window to two thirds of the screen).
    const QScreen* screen = screenForPlacement();
    const QSize room = screen ? screen->availableGeometry().size() - QSize(40, 40) : sizeHint();
    resize(sizeHint().boundedTo(room).expandedTo(minimumSizeHint()));
    slideIn();
}

void NotificationPopup::slideIn()
{
    const QScreen* screen = screenForPlacement();
    if (!screen)
        return;
    const PopupPlacement place =
        popupPlacement(screen->availableGeometry(), screen->geometry(), size());
    auto* animation = new QPropertyAnimation(this, "geometry", this);
    animation->setDuration(timing.animationMilliseconds);
    animation->setStartValue(place.slideInStart);
    animation->setEndValue(place.resting);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void NotificationPopup::slideOut()
{
    const QScreen* screen = screenForPlacement();
    QPropertyAnimation animation(this, "geometry");
    animation.setDuration(timing.animationMilliseconds);
    animation.setStartValue(geometry());
    animation.setEndValue(popupSlideOutEnd(geometry(), screen ? screen->geometry() : QRect()));
    QEventLoop loop;
    connect(&animation, &QPropertyAnimation::finished, &loop, &QEventLoop::quit);
    animation.start();
    loop.exec();
    close();
}

void NotificationPopup::timerDone()
{
    qCDebug(lcUi).noquote() << QStringLiteral("NotificationPopup timed out.  Closing.");
    slideOut();
}

void NotificationPopup::on_closeButton_clicked()
{
    slideOut();
}

void NotificationPopup::onTitlePressed(QPoint p)
{
    dragOrigin = p;
}

void NotificationPopup::onTitleMoved(QPoint p)
{
    move(pos() + (p - dragOrigin));
}

// Every close stores the state of the hidden check-at-logon box: unchecked.
void NotificationPopup::closeEvent(QCloseEvent*)
{
    settings.checkAtLogin = false;
    (void)saveRunSettingsOrReport(settings);
}
