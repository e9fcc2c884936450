// The server password in the desktop's keyring, and the answer "no keyring"
// where none answers. Run twice by ctest: beside gnome-keyring on a bus of its
// own (TESSALY_KEYRING=secret-service), and with no session bus at all
// (TESSALY_KEYRING=none).

#include "sync/ServerPassword.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

QByteArray Keyring()
{
    return qgetenv("TESSALY_KEYRING");
}

}  // namespace

class ServerPasswordTest : public QObject {
    Q_OBJECT

private slots:
    void shouldNameTheEntryByUserAndServer()
    {
        QCOMPARE(PasswordKey(QStringLiteral("li"), QUrl(QStringLiteral("https://li:pw@dav.example.com/li/"))),
                 QStringLiteral("li@https://dav.example.com/li/"));
    }

    void shouldKeepThePasswordInTheKeyring()
    {
        if (Keyring() != "secret-service")
            QSKIP("needs the Secret Service of tests/e2e/with_keyring.sh");
        const QUrl server(QStringLiteral("https://dav.example.com/"));
        QCOMPARE(ReadPassword(QStringLiteral("li"), server), std::nullopt);
        QCOMPARE(StorePassword(QStringLiteral("li"), server, QStringLiteral("密码 1")), KeyringAnswer::Stored);
        QCOMPARE(StorePassword(QStringLiteral("wang"), server, QStringLiteral("other")), KeyringAnswer::Stored);
        QCOMPARE(ReadPassword(QStringLiteral("li"), server), QStringLiteral("密码 1"));
        QCOMPARE(StorePassword(QStringLiteral("li"), server, QStringLiteral("新密码")), KeyringAnswer::Stored);
        QCOMPARE(ReadPassword(QStringLiteral("li"), server), QStringLiteral("新密码"));
        QCOMPARE(ReadPassword(QStringLiteral("li"), QUrl(QStringLiteral("https://other.example.com/"))), std::nullopt);

        QVERIFY(ForgetPassword(QStringLiteral("li"), server));
        QCOMPARE(ReadPassword(QStringLiteral("li"), server), std::nullopt);
        QCOMPARE(ReadPassword(QStringLiteral("wang"), server), QStringLiteral("other"));
        QVERIFY(ForgetPassword(QStringLiteral("li"), server));  // forgetting twice is no failure
    }

    void shouldAnswerNoKeyringWhereNoneAnswers()
    {
        if (Keyring() != "none")
            QSKIP("needs a run without a session bus (TESSALY_KEYRING=none)");
        const QUrl server(QStringLiteral("https://dav.example.com/"));
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(StorePassword(QStringLiteral("li"), server, QStringLiteral("pw"), 2000), KeyringAnswer::NoKeyring);
        QCOMPARE(ReadPassword(QStringLiteral("li"), server, 2000), std::nullopt);
        QVERIFY(!ForgetPassword(QStringLiteral("li"), server, 2000));
        QVERIFY2(waited.elapsed() < 7000, qPrintable(QString::number(waited.elapsed())));
    }
};

QTEST_GUILESS_MAIN(ServerPasswordTest)
#include "test_server_password.moc"
