#pragma once

#include <QDialog>
#include <QMenu>
#include <QSystemTrayIcon>

#include <memory>

class QAction;
struct CheckResult;

// The tray run: the icon with its menu, one check and, when updates are
// available, the popup. The whole run happens inside the constructor; the
// window itself is never shown.
class IconWindow : public QDialog
{
    Q_OBJECT

public:
    explicit IconWindow(QWidget* parent = nullptr);
    ~IconWindow() override;

    // For tests: the icon while the run is under way (null without a tray).
    QSystemTrayIcon* trayIconForTesting() const { return trayIcon.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void showNotificationDialog();
    void exit();

private:
    void createMenu();
    void initialCheck();
    void showNotificationPopup(const CheckResult& result);

    std::unique_ptr<QMenu> trayMenu;           // a menu has no parent window
    std::unique_ptr<QSystemTrayIcon> trayIcon; // goes before the menu it shows
    QAction* checkAction = nullptr;
    QAction* exitAction = nullptr;
};

// Text of the popup for n available updates.
QString popupMessage(int availableCount);
