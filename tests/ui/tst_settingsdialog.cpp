#include "core/common.h"
#include "exampleworld.h"
#include "modalwatcher.h"
#include "ui/notificationdialog.h"
#include "ui/notificationpopup.h"
#include "ui/proxydialog.h"
#include "ui/settingsdialog.h"

#include <QtTest>
#include <QtWidgets>

class TestSettingsDialog : public QObject
{
    Q_OBJECT

    template <typename T> T* child(const char* name) { return dialog->findChild<T*>(name); }
    void click(const char* checkBox)
    {
        auto* box = child<QCheckBox>(checkBox);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    }

    ExampleWorld world;
    std::unique_ptr<SettingsDialog> dialog;

private slots:
    void init()
    {
        QSettings().clear();
        world.settings = Common();
        world.settings.proxy = QNetworkProxy(QNetworkProxy::HttpProxy, "old", 8080, "bob", "pw");
        dialog = std::make_unique<SettingsDialog>(world.settings);
        dialog->show();
    }

    void noPortIsAnEmptyFieldAndThePageNoLoneTab()
    {
        world.settings.proxy = QNetworkProxy(QNetworkProxy::HttpProxy, "host", 0);
        SettingsDialog fresh(world.settings);
        fresh.show();
        QVERIFY(fresh.findChild<QSpinBox*>("proxyPort")->text().trimmed().isEmpty());
        QVERIFY(!fresh.findChild<QTabWidget*>("proxySettingsTab")->tabBar()->isVisible());
    }

    // Group Policy's proxy is shown, said to be the administrator's, and
    // neither edited nor saved over the user's own.
    void aProxyOfGroupPolicyIsShownOnly()
    {
        world.settings.policy.proxyMode = 1;
        world.settings.useProxyServer = true;
        SettingsDialog fixed(world.settings);
        fixed.show();
        QVERIFY(fixed.findChild<QLabel*>("policyNote")->isVisible());
        QVERIFY(!fixed.findChild<QCheckBox*>("useProxyCheckbox")->isEnabled());
        QVERIFY(!fixed.findChild<QGroupBox*>("proxySettingsGroupbox")->isEnabled());
        QVERIFY(!dialog->findChild<QLabel*>("policyNote")->isVisible());
        QTest::mouseClick(fixed.findChild<QPushButton*>("okButton"), Qt::LeftButton);
        QCOMPARE(fixed.result(), int(QDialog::Accepted));
        QVERIFY(world.settings.saveSettings().ok());
        QVERIFY(!QSettings().contains("Startup/ProxyHost"));
    }

    // The system's proxy needs no address: its choice is stored, the fields' user kept.
    void theSystemsProxyIsAChoiceOfItsOwn()
    {
        click("useProxyCheckbox");
        auto* system = child<QRadioButton>("useSystemProxyRadio");
        QVERIFY(system->isVisible() && child<QRadioButton>("useManualProxyRadio")->isChecked());
        QTest::mouseClick(system, Qt::LeftButton, {}, QPoint(5, system->height() / 2));
        QVERIFY(!child<QLineEdit>("proxyHost")->isEnabled());
        child<QLineEdit>("proxyHost")->clear();
        QTest::mouseClick(child<QPushButton>("okButton"), Qt::LeftButton);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        world.settings = Common();
        world.settings.readSettings();
        QVERIFY(world.settings.useProxyServer && world.settings.useSystemProxy);
    }

    void okStoresWhatWasTyped_data()
    {
        QTest::addColumn<QStringList>("typed");  // host, then port and password unless empty
        QTest::addColumn<QStringList>("stored"); // host, port, user, password
        QTest::newRow("fields") << QStringList{"proxy.example.com", "3128", "pw2"}
                                << QStringList{"proxy.example.com", "3128", "bob", "pw2"};
        QTest::newRow("a whole address in the host field")
            << QStringList{"http://al:p%40ss@[::1]:3128", "", ""}
            << QStringList{"::1", "3128", "al", "p@ss"};
    }
    void okStoresWhatWasTyped()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, stored);
        auto* user = child<QLineEdit>("proxyUsername");
        QVERIFY(!child<QGroupBox>("proxySettingsGroupbox")->isEnabled());
        click("useProxyCheckbox");
        QVERIFY(!user->isEnabled() && user->text() == "bob"); // loaded all the same
        click("requireAuthenticationCheckbox");
        QVERIFY(user->isEnabled() && child<QLineEdit>("proxyHost")->isEnabled());
        typeInto(dialog.get(), "proxyHost", typed[0]);
        if (!typed[1].isEmpty())
            typeInto(dialog.get(), "proxyPort", typed[1]);
        if (!typed[2].isEmpty())
            typeInto(dialog.get(), "proxyPassword", typed[2]);
        QTest::mouseClick(child<QPushButton>("okButton"), Qt::LeftButton);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        world.settings = Common();
        world.settings.readSettings();
        const QNetworkProxy proxy = world.settings.proxy;
        QCOMPARE(QStringList({proxy.hostName(), QString::number(proxy.port()), proxy.user(),
                              proxy.password()}),
                 stored);
        QVERIFY(world.settings.useProxyServer && world.settings.useProxyAuthentication);
    }

    void okWithoutHostOrCancelStoresNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("boxes");
        QTest::newRow("OK without a host: a box, the dialog stays") << "okButton"
                                                                    << ""
                                                                    << "8080" << 1;
        QTest::newRow("OK with port 0: the same") << "okButton"
                                                  << "h"
                                                  << "0" << 1;
        QTest::newRow("Cancel") << "cancelButton"
                                << ""
                                << "8080" << 0;
    }
    void okWithoutHostOrCancelStoresNothing()
    {
        QFETCH(QString, button);
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(int, boxes);
        click("useProxyCheckbox");
        typeInto(dialog.get(), "proxyHost", host);
        typeInto(dialog.get(), "proxyPort", port);
        ModalWatcher watcher;
        QTest::mouseClick(child<QPushButton>(qPrintable(button)), Qt::LeftButton);
        QCOMPARE(watcher.seen().size(), boxes);
        if (boxes)
            QCOMPARE(watcher.seen().first().text, "You need to specify a proxy host and port.");
        QCOMPARE(dialog->isVisible(), boxes == 1);
        QVERIFY(QSettings().allKeys().isEmpty());
    }

    // Values that cannot be kept are said to be lost, not taken as saved.
    void okThatCannotSaveSaysSo()
    {
        const QFileInfo store(QSettings().fileName());
        QVERIFY(QDir(store.path()).removeRecursively() &&
                QDir().mkpath(QFileInfo(store.path()).path()));
        QFile blocker(store.path()); // a file where the settings folder belongs
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ModalWatcher watcher;
        QTest::mouseClick(child<QPushButton>("okButton"), Qt::LeftButton);
        QVERIFY(blocker.remove());
        QCOMPARE(watcher.seen().size(), 1);
        QCOMPARE(watcher.seen().first().text, "Error writing settings.");
        QCOMPARE(world.settings.status, StatusCode::SettingsWriteError);
    }

    // Every control of the four forms can be told apart by assistive
    // technology, and every label with a field reaches it by a mnemonic.
    void everyControlIsNamed_data()
    {
        QTest::addColumn<QString>("form");
        for (const char* form :
             {"SettingsDialog", "ProxyDialog", "NotificationDialog", "NotificationPopup"})
            QTest::newRow(form) << QString(form);
    }
    void everyControlIsNamed()
    {
        QFETCH(QString, form);
        std::unique_ptr<QWidget> window;
        if (form == "SettingsDialog")
            window = std::make_unique<SettingsDialog>(world.settings);
        else if (form == "ProxyDialog")
            window = std::make_unique<ProxyDialog>(QNetworkProxy());
        else if (form == "NotificationDialog")
            window = std::make_unique<NotificationDialog>(world.settings, world.request());
        else
            window = std::make_unique<NotificationPopup>(world.settings, QString(), -1);
        for (const QWidget* control : window->findChildren<QWidget*>()) {
            const QString name = control->objectName();
            if (name.isEmpty() || name.startsWith("qt_"))
                continue; // Qt's own parts, named by Qt
            QVERIFY2(control->focusPolicy() == Qt::NoFocus || !control->accessibleName().isEmpty(),
                     qPrintable(name));
            if (const auto* label = qobject_cast<const QLabel*>(control); label && label->buddy())
                QVERIFY2(label->text().contains('&'), qPrintable(name));
        }
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
