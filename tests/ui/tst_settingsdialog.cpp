#include "core/common.h"
#include "dialogfit.h"
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

    void noPortIsAnEmptyFieldAndThePageHasItsTab()
    {
        world.settings.proxy = QNetworkProxy(QNetworkProxy::HttpProxy, "host", 0);
        SettingsDialog fresh(world.settings);
        fresh.show();
        QVERIFY(fresh.findChild<QSpinBox*>("proxyPort")->text().trimmed().isEmpty());
        QVERIFY(fresh.findChild<QTabWidget*>("proxySettingsTab")->tabBar()->isVisible());
        QCOMPARE(fresh.size(), QSize(570, 419));
    }

    // In every language shipped, no text is cut and both dialogs fit a screen
    // of 1280 x 800 at 200 %.
    void textsFitInEveryLanguage_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::newRow("en") << QString();
        for (const QString& file : shippedCatalogues())
            QTest::newRow(qPrintable(QFileInfo(file).baseName())) << file;
    }
    void textsFitInEveryLanguage()
    {
        QFETCH(QString, catalogue);
        QTranslator translator;
        QVERIFY(catalogue.isEmpty() ? !shippedCatalogues().isEmpty() : translator.load(catalogue));
        QCoreApplication::installTranslator(&translator);
        SettingsDialog settings(world.settings);
        ProxyDialog credentials(QNetworkProxy(QNetworkProxy::HttpProxy, "proxy", 3128, "bob"));
        credentials.showScheme("Negotiate");
        for (QDialog* shown :
             {static_cast<QDialog*>(&settings), static_cast<QDialog*>(&credentials)}) {
            shown->show();
            QVERIFY(QTest::qWaitForWindowExposed(shown));
            QVERIFY(shown->screen()->availableGeometry().size().expandedTo(shown->size()) ==
                    shown->screen()->availableGeometry().size());
            shown->resize(shown->minimumSizeHint()); // as small as the user can make it
            QCOMPARE(cutTexts(*shown), QStringList());
            QVERIFY2(QRect(0, 0, 640, 400).contains(QRect(QPoint(), shown->sizeHint())),
                     qPrintable(shown->objectName()));
        }
        settings.resize(settings.minimumSizeHint());
        const auto* host = settings.findChild<QLineEdit*>("proxyHost");
        QVERIFY(host->width() > host->fontMetrics().horizontalAdvance("proxy.corp.example.com"));
        QCoreApplication::removeTranslator(&translator);
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
        QTest::addColumn<QString>("message"); // of the one box; none for no box
        QTest::addColumn<QString>("focused"); // the field to mend
        const QString missing = "You need to specify a proxy host and port.";
        QTest::newRow("OK without a host: a box, the dialog stays")
            << "okButton"
            << ""
            << "8080" << missing << "proxyHost";
        QTest::newRow("OK with port 0: the same, at the port") << "okButton"
                                                               << "h"
                                                               << "0" << missing << "proxyPort";
        QTest::newRow("OK with port 99999: refused, not shortened")
            << "okButton"
            << "h"
            << "99999"
            << "The proxy port must be a number from 1 to 65535."
            << "proxyPort";
        QTest::newRow("Cancel") << "cancelButton"
                                << ""
                                << "8080"
                                << ""
                                << "";
    }
    void okWithoutHostOrCancelStoresNothing()
    {
        QFETCH(QString, button);
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        const int boxes = message.isEmpty() ? 0 : 1;
        click("useProxyCheckbox");
        typeInto(dialog.get(), "proxyHost", host);
        typeInto(dialog.get(), "proxyPort", port);
        ModalWatcher watcher;
        QTest::mouseClick(child<QPushButton>(qPrintable(button)), Qt::LeftButton);
        QCOMPARE(watcher.seen().size(), boxes);
        if (boxes) {
            QCOMPARE(watcher.seen().first().text, message);
            QCOMPARE(dialog->focusWidget()->objectName(), focused);
        }
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
