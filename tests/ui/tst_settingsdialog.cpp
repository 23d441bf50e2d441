#include "app/common.h"
#include "modalwatcher.h"
#include "ui/settingsdialog.h"
#include "ui/widgetfrontend.h"

#include "testsettings.h"

#include <QtTest>
#include <QtWidgets>

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTestSettings();
        setGuiFrontend(&frontend);
    }
    void init()
    {
        QSettings().clear();
        Common::instance()->resetForTesting();
    }

    void formHasTheDocumentedShape();
    void enablingRules();
    void loadsTheManualProxy();
    void okWithoutHostKeepsTheDialogOpen();
    void okWithProxyOffSavesEvenWithoutHost();
    void okStoresWhatWasTyped();
    void cancelStoresNothing();

private:
    template <typename T> static T* child(QWidget* dialog, const char* name)
    {
        T* widget = dialog->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }

    WidgetFrontend frontend;
};

void TestSettingsDialog::formHasTheDocumentedShape()
{
    SettingsDialog dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("SettingsDialog"));
    QCOMPARE(dialog.size(), QSize(570, 419));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Settings"));
    QVERIFY(!dialog.windowIcon().isNull());
    auto* tabs = child<QTabWidget>(&dialog, "proxySettingsTab");
    QCOMPARE(tabs->count(), 1);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Proxy Settings"));
    QCOMPARE(child<QSpinBox>(&dialog, "proxyPort")->maximum(), 65535);
    QCOMPARE(child<QLineEdit>(&dialog, "proxyPassword")->echoMode(), QLineEdit::Password);
    QVERIFY(child<QRadioButton>(&dialog, "useSystemProxyRadio")->isHidden());
    QVERIFY(child<QRadioButton>(&dialog, "useManualProxyRadio")->isHidden());

    const QStringList order{"proxySettingsTab",
                            "useProxyCheckbox",
                            "proxyHost",
                            "proxyPort",
                            "requireAuthenticationCheckbox",
                            "proxyUsername",
                            "proxyPassword",
                            "okButton",
                            "cancelButton"};
    // Hidden and disabled widgets are skipped by the focus chain; enable everything.
    child<QCheckBox>(&dialog, "useProxyCheckbox")->setChecked(true);
    child<QCheckBox>(&dialog, "requireAuthenticationCheckbox")->setChecked(true);
    QWidget* widget = child<QWidget>(&dialog, "proxySettingsTab");
    QStringList chain{widget->objectName()};
    for (int i = 0; i < 40 && chain.size() < order.size(); ++i) {
        widget = widget->nextInFocusChain();
        if (order.contains(widget->objectName()) && !chain.contains(widget->objectName()))
            chain << widget->objectName();
    }
    QCOMPARE(chain, order);
}

void TestSettingsDialog::enablingRules()
{
    SettingsDialog dialog;
    dialog.show();
    auto* useProxy = child<QCheckBox>(&dialog, "useProxyCheckbox");
    auto* group = child<QGroupBox>(&dialog, "proxySettingsGroupbox");
    auto* authentication = child<QCheckBox>(&dialog, "requireAuthenticationCheckbox");
    auto* user = child<QLineEdit>(&dialog, "proxyUsername");
    auto* password = child<QLineEdit>(&dialog, "proxyPassword");

    QVERIFY(!useProxy->isChecked());
    QVERIFY(!group->isEnabled());
    QTest::mouseClick(useProxy, Qt::LeftButton, {}, QPoint(5, useProxy->height() / 2));
    QVERIFY(group->isEnabled());
    QVERIFY(child<QLineEdit>(&dialog, "proxyHost")->isEnabled());
    QVERIFY(child<QSpinBox>(&dialog, "proxyPort")->isEnabled());
    QVERIFY(authentication->isEnabled());
    QVERIFY(!user->isEnabled());
    QVERIFY(!password->isEnabled());

    QTest::mouseClick(authentication, Qt::LeftButton, {}, QPoint(5, authentication->height() / 2));
    QVERIFY(user->isEnabled());
    QVERIFY(password->isEnabled());
    QTest::mouseClick(authentication, Qt::LeftButton, {}, QPoint(5, authentication->height() / 2));
    QVERIFY(!user->isEnabled());
    QTest::mouseClick(useProxy, Qt::LeftButton, {}, QPoint(5, useProxy->height() / 2));
    QVERIFY(!group->isEnabled());
}

void TestSettingsDialog::loadsTheManualProxy()
{
    Common* common = Common::instance();
    common->useProxyServer = true;
    common->manualProxy = QNetworkProxy(QNetworkProxy::HttpProxy, "proxy.lan", 0, "bob", "pw");
    SettingsDialog dialog;
    QCOMPARE(child<QLineEdit>(&dialog, "proxyHost")->text(), QStringLiteral("proxy.lan"));
    QCOMPARE(child<QSpinBox>(&dialog, "proxyPort")->value(), 0);
    // Authentication off: the fields are disabled but keep what was loaded.
    QCOMPARE(child<QLineEdit>(&dialog, "proxyUsername")->text(), QStringLiteral("bob"));
    QVERIFY(!child<QLineEdit>(&dialog, "proxyUsername")->isEnabled());
    QCOMPARE(child<QLineEdit>(&dialog, "proxyPassword")->text(), QStringLiteral("pw"));
}

void TestSettingsDialog::okWithoutHostKeepsTheDialogOpen()
{
    SettingsDialog dialog;
    dialog.show();
    child<QCheckBox>(&dialog, "useProxyCheckbox")->setChecked(true);
    ModalWatcher watcher;
    QTest::mouseClick(child<QPushButton>(&dialog, "okButton"), Qt::LeftButton);
    QCOMPARE(watcher.seen().size(), 1);
    QCOMPARE(watcher.seen().first().title, QStringLiteral("Missing Fields"));
    QCOMPARE(watcher.seen().first().text,
             QStringLiteral("You need to specify a proxy host and port."));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!QSettings().contains("Startup/UseProxyServer"));
    QCOMPARE(Common::instance()->useProxyServer, true); // in memory only
}

void TestSettingsDialog::okWithProxyOffSavesEvenWithoutHost()
{
    SettingsDialog dialog;
    dialog.show();
    QTest::mouseClick(child<QPushButton>(&dialog, "okButton"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QSettings store;
    QCOMPARE(store.value("Startup/UseProxyServer").toBool(), false);
    QCOMPARE(store.value("Startup/ProxyHost").toString(), QString());
}

void TestSettingsDialog::okStoresWhatWasTyped()
{
    SettingsDialog dialog;
    dialog.show();
    child<QCheckBox>(&dialog, "useProxyCheckbox")->setChecked(true);
    child<QCheckBox>(&dialog, "requireAuthenticationCheckbox")->setChecked(true);
    QTest::keyClicks(child<QLineEdit>(&dialog, "proxyHost"), "proxy.example.com");
    auto* port = child<QSpinBox>(&dialog, "proxyPort");
    port->selectAll();
    QTest::keyClicks(port, "3128");
    QTest::keyClicks(child<QLineEdit>(&dialog, "proxyUsername"), "alice");
    QTest::keyClicks(child<QLineEdit>(&dialog, "proxyPassword"), "pa55");
    QTest::mouseClick(child<QPushButton>(&dialog, "okButton"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    Common::instance()->resetForTesting();
    Common::instance()->readSettings();
    const QNetworkProxy proxy = Common::instance()->proxy();
    QCOMPARE(proxy.hostName(), QStringLiteral("proxy.example.com"));
    QCOMPARE(proxy.port(), quint16(3128));
    QCOMPARE(proxy.user(), QStringLiteral("alice"));
    QCOMPARE(proxy.password(), QStringLiteral("pa55"));
    QVERIFY(Common::instance()->useProxyServer);
    QVERIFY(Common::instance()->useProxyAuthentication);
}

void TestSettingsDialog::cancelStoresNothing()
{
    SettingsDialog dialog;
    dialog.show();
    child<QCheckBox>(&dialog, "useProxyCheckbox")->setChecked(true);
    QTest::keyClicks(child<QLineEdit>(&dialog, "proxyHost"), "ignored");
    QTest::mouseClick(child<QPushButton>(&dialog, "cancelButton"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(QSettings().allKeys().isEmpty());
    QCOMPARE(Common::instance()->proxy().hostName(), QString());
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
