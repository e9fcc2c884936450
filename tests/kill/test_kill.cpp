// The program killed with SIGKILL while it writes: the book still passes the
// database's integrity check, keeps every command that had finished, and opens
// with a password that was in force. The book is read with the sqlcipher shell.

#include "tests/kill/KilledRuns.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTest>
#include <QThread>

class KillTest : public QObject {
    Q_OBJECT

private slots:
    void shouldKeepEveryFinishedAddWhenKilledWhileAdding()
    {
        TestFolder folder;
        QSet<QString> finished;
        const QStringList prefixes{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"),
                                   QStringLiteral("丁")};
        for (const QString& prefix : prefixes) {
            const int lines = 1 + randomBelow(25);
            const int extraMs = randomBelow(15);
            const KilledRun run = runAndKill({folder.path(), QStringLiteral("add"), prefix}, lines, extraMs);
            QVERIFY2(run.killed, qPrintable(run.output));
            const QStringList added = reported(run.lines, QStringLiteral("added "));
            QCOMPARE(added.size() >= lines, true);
            for (const QString& name : added)
                finished.insert(name);

            QCOMPARE(integrity(folder), QStringLiteral("ok"));
            const QStringList stored = sqlcipher(folder, QStringLiteral("select trim(姓名) from rem;"));
            const QSet<QString> inBook(stored.begin(), stored.end());
            for (const QString& name : std::as_const(finished))
                QVERIFY2(
                    inBook.contains(name),
                    qPrintable(QStringLiteral("%1 lost after %2 adds and %3 ms").arg(name).arg(lines).arg(extraMs)));
            // At most the add the kill interrupted has gone in besides those.
            QVERIFY2(stored.size() - finished.size() <= prefixes.indexOf(prefix) + 1, qPrintable(stored.join(u' ')));
        }
    }

    void shouldLeaveTheBookUntouchedWhenKilledWhileExporting()
    {
        TestFolder folder;
        QCOMPARE(runToEnd({folder.path(), QStringLiteral("login"), QStringLiteral("480917")}), 0);
        // A book large enough for an export to take a while.
        sqlcipher(folder,
                  QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 20000) "
                                 "insert into rem(类别, 姓名, 电话, 备注) select '同事', '批量' || i, '139' || i, "
                                 "'导出时被杀' from n;"));
        const QByteArray before = TestFolder::readAll(folder.databasePath());
        QVERIFY(before.size() > 100000);
        for (int round = 0; round < 3; ++round) {
            const int extraMs = randomBelow(200);
            const KilledRun run = runAndKill({folder.path(), QStringLiteral("export")}, 1, extraMs);
            QVERIFY2(run.killed, qPrintable(run.output));
            QVERIFY2(TestFolder::readAll(folder.databasePath()) == before,
                     qPrintable(QStringLiteral("the book changed, killed %1 ms after an export").arg(extraMs)));
            QVERIFY(!QFile::exists(folder.databasePath() + QStringLiteral("-journal")));
        }
        QCOMPARE(integrity(folder), QStringLiteral("ok"));
        QCOMPARE(sqlcipher(folder, QStringLiteral("select count(*) from rem;")), QStringList{QStringLiteral("20000")});
    }

    void shouldOpenWithTheOldOrTheNewPasswordWhenKilledWhileChangingIt()
    {
        TestFolder folder;
        QCOMPARE(runToEnd({folder.path(), QStringLiteral("login"), QStringLiteral("480917")}), 0);
        const QString a = QStringLiteral("alpha 123");
        const QString b = QStringLiteral("新密码二");
        QString inForce = QStringLiteral("480917");
        for (int round = 0; round < 4; ++round) {
            const int lines = 1 + randomBelow(20);
            const int extraMs = randomBelow(10);
            const KilledRun run =
                runAndKill({folder.path(), QStringLiteral("password"), inForce, a, b}, lines, extraMs);
            QVERIFY2(run.killed, qPrintable(run.output));
            const QStringList changes = reported(run.lines, QStringLiteral("password "));
            QVERIFY(!changes.isEmpty());
            const QString confirmed = changes.last();
            const QString interrupted = confirmed == a ? b : a;

            QCOMPARE(integrity(folder), QStringLiteral("ok"));
            const QStringList mm = sqlcipher(folder, QStringLiteral("select trim(mm) from pass;"));
            QCOMPARE(mm.size(), 1);
            QStringDecoder gbk("GB18030");
            const QString stored = gbk(QByteArray::fromBase64(mm.first().toLatin1()));
            QVERIFY2(stored == confirmed || stored == interrupted,
                     qPrintable(QStringLiteral("stored '%1' after '%2'").arg(stored, confirmed)));
            QCOMPARE(runToEnd({folder.path(), QStringLiteral("login"), stored}), 0);
            inForce = stored;
        }
        QCOMPARE(runToEnd({folder.path(), QStringLiteral("login"), inForce == a ? b : a}), 3);
    }
};

QTEST_GUILESS_MAIN(KillTest)
#include "test_kill.moc"
