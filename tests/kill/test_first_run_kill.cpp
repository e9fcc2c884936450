// A first run of the program killed at any moment: the next start finds no
// book or a whole one (with rem, and pass only with its one row), logs in with
// the factory password, and a start a minute later clears what the killed
// creation left beside the book.

#include "tests/kill/KilledRuns.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>

class FirstRunKillTest : public QObject {
    Q_OBJECT

private slots:
    // A first run killed at any moment: the next start finds no book or a whole
    // one, logs in with the factory password, and a start a minute later clears
    // what the killed creation left.
    void shouldStartAfterAFirstRunKilledAtAnyMoment()
    {
        QElapsedTimer timer;
        {
            TestFolder folder;
            timer.start();
            QCOMPARE(runToEnd({folder.path(), QStringLiteral("login"), QStringLiteral("480917")}), 0);
        }
        const int firstRunMs = int(timer.elapsed());
        const QStringList scratch{QStringLiteral(".Kalvo.mdb-*.new*")};
        int leftBehind = 0;
        for (int round = 0; round < 20; ++round) {
            TestFolder folder;
            const int killedAfterMs = randomBelow(firstRunMs);
            const QString moment = QStringLiteral("killed %1 ms into a first run").arg(killedAfterMs);
            runAndKill({folder.path(), QStringLiteral("login"), QStringLiteral("480917")}, 0, killedAfterMs);
            if (QFileInfo::exists(folder.databasePath())) {
                // A book only ever has its name with rem; pass comes with its one row or not at all.
                const QStringList tables =
                    sqlcipher(folder, QStringLiteral("select name from sqlite_master order by name;"));
                QVERIFY2(tables == QStringList{QStringLiteral("rem")}
                             || tables == (QStringList{QStringLiteral("pass"), QStringLiteral("rem")}),
                         qPrintable(moment + u' ' + tables.join(u',')));
                if (tables.size() == 2)
                    QCOMPARE(sqlcipher(folder, QStringLiteral("select count(*) from pass;")),
                             QStringList{QStringLiteral("1")});
            }
            QVERIFY2(runToEnd({folder.path(), QStringLiteral("login"), QStringLiteral("480917")}) == 0,
                     qPrintable(moment));
            QCOMPARE(sqlcipher(folder, QStringLiteral("PRAGMA integrity_check; select count(*) from rem; "
                                                      "select trim(mm) from pass;")),
                     (QStringList{QStringLiteral("ok"), QStringLiteral("0"), QStringLiteral("NDgwOTE3")}));

            const QDir dir(folder.path());
            const QStringList left = dir.entryList(scratch, QDir::Files | QDir::Hidden);
            if (left.isEmpty())
                continue;
            ++leftBehind;
            const timespec twoMinutesAgo[2] = {{time(nullptr) - 120, 0}, {time(nullptr) - 120, 0}};
            for (const QString& name : left)  // as if that start came a minute later
                QCOMPARE(utimensat(AT_FDCWD, QFile::encodeName(dir.filePath(name)).constData(), twoMinutesAgo, 0), 0);
            QCOMPARE(runToEnd({folder.path(), QStringLiteral("login"), QStringLiteral("480917")}), 0);
            QVERIFY2(dir.entryList(scratch, QDir::Files | QDir::Hidden).isEmpty(), qPrintable(moment));
        }
        qInfo("%d of 20 killed first runs left a hidden file behind (a first run takes %d ms)", leftBehind, firstRunMs);
    }
};

QTEST_GUILESS_MAIN(FirstRunKillTest)
#include "test_first_run_kill.moc"
