#include "app/common.h"
#include "exampleworld.h"
#include "modalwatcher.h"
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
        Common::instance()->resetForTesting();
        Common::instance()->proxy =
            QNetworkProxy(QNetworkProxy::HttpProxy, "old", 8080, "bob", "pw");
        dialog = std::make_unique<SettingsDialog>();
        dialog->show();
    }

    void okStoresWhatWasTyped()
    {
        auto* user = child<QLineEdit>("proxyUsername");
        QVERIFY(!child<QGroupBox>("proxySettingsGroupbox")->isEnabled());
        click("useProxyCheckbox");
        QVERIFY(!user->isEnabled() && user->text() == "bob"); // loaded all the same
        click("requireAuthenticationCheckbox");
        QVERIFY(user->isEnabled() && child<QLineEdit>("proxyHost")->isEnabled());
        typeInto(dialog.get(), "proxyHost", "proxy.example.com");
        typeInto(dialog.get(), "proxyPort", "3128");
        typeInto(dialog.get(), "proxyPassword", "pw2");
        QTest::mouseClick(child<QPushButton>("okButton"), Qt::LeftButton);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        Common::instance()->resetForTesting();
        Common::instance()->readSettings();
        const QNetworkProxy proxy = Common::instance()->proxy;
        QCOMPARE(QStringList({proxy.hostName(), QString::number(proxy.port()), proxy.user(),
                              proxy.password()}),
                 QStringList({"proxy.example.com", "3128", "bob", "pw2"}));
        QVERIFY(Common::instance()->useProxyServer && Common::instance()->useProxyAuthentication);
    }

    void okWithoutHostOrCancelStoresNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("boxes");
        QTest::newRow("OK without a host: a box, the dialog stays") << "okButton" << 1;
        QTest::newRow("Cancel") << "cancelButton" << 0;
    }
    void okWithoutHostOrCancelStoresNothing()
    {
        QFETCH(QString, button);
        QFETCH(int, boxes);
        click("useProxyCheckbox");
        child<QLineEdit>("proxyHost")->clear();
        ModalWatcher watcher;
        QTest::mouseClick(child<QPushButton>(qPrintable(button)), Qt::LeftButton);
        QCOMPARE(watcher.seen().size(), boxes);
        if (boxes)
            QCOMPARE(watcher.seen().first().text, "You need to specify a proxy host and port.");
        QCOMPARE(dialog->isVisible(), boxes == 1);
        QVERIFY(QSettings().allKeys().isEmpty());
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
