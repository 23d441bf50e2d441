#include "ui/proxydialog.h"

#include <QtTest>
#include <QtWidgets>

class TestProxyDialog : public QObject
{
    Q_OBJECT

private slots:
    void opensCentredWithHostFieldsDisabled();
    void okReturnsEditedCredentials();
    void cancelReturnsTheGivenProxy();
    void emptyCredentials();

private:
    const QNetworkProxy given{QNetworkProxy::HttpProxy, "proxy.lan", 3128, "old", "secret"};
};

void TestProxyDialog::opensCentredWithHostFieldsDisabled()
{
    QWidget parent;
    parent.setGeometry(10, 10, 200, 100);
    ProxyDialog dialog(given, &parent);
    // Centred as constructed, on the screen rather than on the parent.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect own = dialog.frameGeometry();
    QCOMPARE((own.left() + own.right()) / 2, (screen.left() + screen.right()) / 2);
    QCOMPARE((own.top() + own.bottom()) / 2, (screen.top() + screen.bottom()) / 2);

    dialog.disableHostFields(true);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.objectName(), QStringLiteral("ProxyDialog"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Proxy Credentials"));
    QVERIFY(!dialog.findChild<QLineEdit*>("hostEdit")->isEnabled());
    QVERIFY(!dialog.findChild<QSpinBox*>("proxyPort")->isEnabled());
    QVERIFY(dialog.findChild<QLineEdit*>("userEdit")->isEnabled());
    QCOMPARE(dialog.findChild<QLineEdit*>("hostEdit")->text(), QStringLiteral("proxy.lan"));
}

void TestProxyDialog::okReturnsEditedCredentials()
{
    ProxyDialog dialog(given);
    dialog.disableHostFields(true);
    QTimer::singleShot(0, &dialog, [&dialog] {
        auto* user = dialog.findChild<QLineEdit*>("userEdit");
        user->clear();
        QTest::keyClicks(user, "alice");
        auto* pass = dialog.findChild<QLineEdit*>("passEdit");
        pass->clear();
        QTest::keyClicks(pass, "pa55");
        dialog.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(dialog.proxy().user(), QStringLiteral("alice"));
    QCOMPARE(dialog.proxy().password(), QStringLiteral("pa55"));
    QCOMPARE(dialog.proxy().hostName(), QStringLiteral("proxy.lan"));
    QCOMPARE(dialog.proxy().port(), quint16(3128));
    QCOMPARE(dialog.proxy().type(), QNetworkProxy::HttpProxy);
}

void TestProxyDialog::cancelReturnsTheGivenProxy()
{
    ProxyDialog dialog(given);
    QTimer::singleShot(0, &dialog, [&dialog] {
        QTest::keyClicks(dialog.findChild<QLineEdit*>("userEdit"), "typed");
        dialog.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Cancel)->click();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(dialog.proxy(), given);
}

void TestProxyDialog::emptyCredentials()
{
    ProxyDialog dialog(given);
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.findChild<QLineEdit*>("userEdit")->clear();
        dialog.findChild<QLineEdit*>("passEdit")->clear();
        dialog.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(dialog.proxy().user(), QString(""));
    QCOMPARE(dialog.proxy().password(), QString(""));
}

QTEST_MAIN(TestProxyDialog)
#include "tst_proxydialog.moc"
