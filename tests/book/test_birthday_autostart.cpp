// The autostart entry of the birthday reminder: written whole where the
// desktop looks, its Exec line quoted as the desktop entry format says and
// accepted by desktop-file-validate, removed when turned off.

#include "book/BirthdayAutostart.h"
#include "tests/support/TestFolder.h"

#include <QProcess>
#include <QTest>

namespace {

class BirthdayAutostartTest : public QObject {
    Q_OBJECT

    TestFolder folder_;

    static QString execLine(const QByteArray& entry)
    {
        for (const QByteArray& line : entry.split('\n'))
            if (line.startsWith("Exec="))
                return QString::fromUtf8(line.mid(5));
        return QString();
    }

private slots:
    void init() { qputenv("XDG_CONFIG_HOME", folder_.path().toUtf8()); }

    void shouldWriteTheEntryWhereTheDesktopLooksAndRemoveIt()
    {
        const QString path = folder_.path() + u"/autostart/tessaly-birthdays.desktop"_qs;
        QCOMPARE(BirthdayAutostartPath(), path);
        QVERIFY(!BirthdayAutostartIsOn());
        SetBirthdayAutostart(true, u"/home/张三/.local/lib/tessaly/tessaly-book"_qs);
        QVERIFY(BirthdayAutostartIsOn());
        QCOMPARE(TestFolder::readAll(path),
                 BirthdayAutostartEntry(u"/home/张三/.local/lib/tessaly/tessaly-book"_qs, {}));
        QCOMPARE(QDir(folder_.path() + u"/autostart"_qs).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"tessaly-birthdays.desktop"_qs});

        QProcess validate;
        validate.start(QStringLiteral("desktop-file-validate"), {path});
        QVERIFY(validate.waitForFinished(30000));
        QVERIFY2(validate.exitCode() == 0, validate.readAllStandardOutput().constData());

        SetBirthdayAutostart(false, QString());
        QVERIFY(!BirthdayAutostartIsOn());
        SetBirthdayAutostart(false, QString());  // already off
    }

    void shouldQuoteTheExecArguments_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/opt/tessaly/tessaly-book"
                               << ""
                               << "/opt/tessaly/tessaly-book birthdays --notify";
        QTest::newRow("a blank") << "/opt/my apps/tessaly-book"
                                 << ""
                                 << "\"/opt/my apps/tessaly-book\" birthdays --notify";
        QTest::newRow("Chinese needs no quotes") << "/home/张三/tessaly-book"
                                                 << ""
                                                 << "/home/张三/tessaly-book birthdays --notify";
        QTest::newRow("reserved characters")
            << "/a/$x`y\"z\\w/100%/tessaly-book"
            << ""
            << "\"/a/\\\\$x\\\\`y\\\\\"z\\\\\\\\w/100%%/tessaly-book\" birthdays --notify";
        QTest::newRow("another book")
            << "/opt/tessaly/tessaly-book"
            << "/home/u/书 本/Kalvo.mdb"
            << "/opt/tessaly/tessaly-book --db \"/home/u/书 本/Kalvo.mdb\" birthdays --notify";
    }
    void shouldQuoteTheExecArguments()
    {
        QFETCH(QString, program);
        QFETCH(QString, database);
        QFETCH(QString, exec);
        QCOMPARE(execLine(BirthdayAutostartEntry(program, database)), exec);
    }

    void shouldFallBackOnTheHomeConfigFolder()
    {
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(BirthdayAutostartPath(), QDir::homePath() + u"/.config/autostart/tessaly-birthdays.desktop"_qs);
    }
};

}  // namespace

QTEST_GUILESS_MAIN(BirthdayAutostartTest)
#include "test_birthday_autostart.moc"
