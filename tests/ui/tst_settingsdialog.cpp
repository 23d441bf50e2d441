#include "app/common.h"
#include "exampleworld.h"
#include "modalwatcher.h"
#include "ui/settingsdialog.h"

#include <QtTest>
#include <QtWidgets>

class TestSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
        Common::instance()->resetForTesting();
    }

    void enablingRules();
    void okStoresWhatWasTyped();
    void okWithoutHostKeepsTheDialogOpen();
    void cancelStoresNothing();

private:
    template <typename T> T* child(const char* name) { return dialog->findChild<T*>(name); }
    void click(const char* checkBox)
    {
        auto* box = child<QCheckBox>(checkBox);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    }

    ExampleWorld world;
    std::unique_ptr<SettingsDialog> dialog;
};

void TestSettingsDialog::enablingRules()
{
    dialog = std::make_unique<SettingsDialog>();
    dialog->show();
    auto* group = child<QGroupBox>("proxySettingsGroupbox");
    auto* user = child<QLineEdit>("proxyUsername");
    QVERIFY(!group->isEnabled());
    click("useProxyCheckbox");
    QVERIFY(group->isEnabled() && child<QLineEdit>("proxyHost")->isEnabled() && !user->isEnabled());
    click("requireAuthenticationCheckbox");
    QVERIFY(user->isEnabled() && child<QLineEdit>("proxyPassword")->isEnabled());
    click("useProxyCheckbox");
    QVERIFY(!group->isEnabled());
}

void TestSettingsDialog::okStoresWhatWasTyped()
{
    Common::instance()->proxy =
        QNetworkProxy(QNetworkProxy::HttpProxy, "old.lan", 8080, "bob", "pw");
    dialog = std::make_unique<SettingsDialog>();
    dialog->show();
    QCOMPARE(child<QLineEdit>("proxyUsername")->text(), QStringLiteral("bob")); // loaded, disabled
    click("useProxyCheckbox");
    click("requireAuthenticationCheckbox");
    child<QLineEdit>("proxyHost")->clear();
    QTest::keyClicks(child<QLineEdit>("proxyHost"), "proxy.example.com");
    child<QSpinBox>("proxyPort")->selectAll();
    QTest::keyClicks(child<QSpinBox>("proxyPort"), "3128");
    QTest::keyClicks(child<QLineEdit>("proxyPassword"), "2");
    QTest::mouseClick(child<QPushButton>("okButton"), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));

    Common::instance()->resetForTesting();
    Common::instance()->readSettings();
    const QNetworkProxy proxy = Common::instance()->proxy;
    QCOMPARE(QStringList(
                 {proxy.hostName(), QString::number(proxy.port()), proxy.user(), proxy.password()}),
             QStringList({"proxy.example.com", "3128", "bob", "pw2"}));
    QVERIFY(Common::instance()->useProxyServer && Common::instance()->useProxyAuthentication);
}

void TestSettingsDialog::okWithoutHostKeepsTheDialogOpen()
{
    dialog = std::make_unique<SettingsDialog>();
    dialog->show();
    click("useProxyCheckbox");
    ModalWatcher watcher;
    QTest::mouseClick(child<QPushButton>("okButton"), Qt::LeftButton);
    QCOMPARE(watcher.seen().size(), 1);
    QCOMPARE(watcher.seen().first().text,
             QStringLiteral("You need to specify a proxy host and port."));
    QVERIFY(dialog->isVisible());
    QVERIFY(QSettings().allKeys().isEmpty());
}

void TestSettingsDialog::cancelStoresNothing()
{
    dialog = std::make_unique<SettingsDialog>();
    dialog->show();
    click("useProxyCheckbox");
    QTest::keyClicks(child<QLineEdit>("proxyHost"), "ignored");
    QTest::mouseClick(child<QPushButton>("cancelButton"), Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(QSettings().allKeys().isEmpty());
    QVERIFY(Common::instance()->proxy.hostName().isEmpty());
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
