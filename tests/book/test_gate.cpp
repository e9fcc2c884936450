// The login password in front of tessaly-book: where it comes from, the
// window's rules for what it is, and that a refused run reads and writes nothing.

#include "platform/Gbk.h"
#include "store/Base64.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "store/SqliteHandle.h"
#include "tests/book/BookTesting.h"
#include "tests/support/ScriptedDesktop.h"

#include <QTest>

namespace {

// Replaces the book's pass table by what the statements make of it.
void setPass(const QString& path, const QString& statements)
{
    TADOConnection connection;
    QVERIFY(OpenJetDatabase(connection, path, ContactSchema::DatabasePassword()));
    ExecuteAll(connection.Handle(), QStringLiteral("drop table pass;") + statements);
}

QString row(const QByteArray& storedText)
{
    return QStringLiteral("create table pass(mm char(50)); insert into pass values('%1');")
        .arg(QString::fromLatin1(storedText));
}

QString base64(const QString& password)
{
    return QString::fromLatin1(Base64Encode(toGbk(password)));
}

// Each command, with arguments that would read or write the book.
QList<QStringList> everyCommand()
{
    return {{"list", "--pinyin"},
            {"list", "--numbers"},
            {"find", "zs"},
            {"export", "out.vcf"},
            {"export", "out.pdf", "--style", "名片"},
            {"backup", "copy.mdb"},
            {"backup"},
            {"check"},
            {"import", "new.vcf"},
            {"import", "--dry-run", "new.vcf"},
            {"qr", "1", "out.png"},
            {"birthdays"},
            {"birthdays", "--not-understood"},
            {"duplicates"},
            {"merge", "--into", "1", "2"},
            {"sync", "--conflicts"},
            {"sync", "--setup", "http://127.0.0.1:9/", "--user", "anna"}};
}

}  // namespace

class GateTest : public QObject {
    Q_OBJECT

private slots:
    void shouldOpenTheBookOnlyForItsLoginPassword_data()
    {
        QTest::addColumn<QString>("pass");         // statements after dropping pass; null keeps the new book's
        QTest::addColumn<QByteArray>("fileText");  // the password file; "-" in source reads standard input
        QTest::addColumn<QString>("source");       // "file", "-", or "" for no option
        QTest::addColumn<int>("status");
        const QByteArray factory("480917\n");
        const QString changed = row(base64(QStringLiteral("新密码 1")).toLatin1());
        const QString keep;
        QTest::newRow("new book, factory password") << keep << factory << "file" << 0;
        QTest::newRow("new book, wrong password") << keep << QByteArray("480918\n") << "file" << 1;
        QTest::newRow("line end CRLF") << keep << QByteArray("480917\r\nrest") << "file" << 0;
        QTest::newRow("no line end") << keep << QByteArray("480917") << "file" << 0;
        QTest::newRow("no trimming of the typed") << keep << QByteArray(" 480917\n") << "file" << 1;
        QTest::newRow("second line ignored") << keep << QByteArray("x\n480917\n") << "file" << 1;
        QTest::newRow("no pass table: factory") << QString("") << factory << "file" << 0;
        QTest::newRow("empty pass table: factory")
            << QString("create table pass(mm char(50));") << factory << "file" << 0;
        QTest::newRow("changed password, Chinese and a blank") << changed << QByteArray("新密码 1\n") << "file" << 0;
        QTest::newRow("changed password refuses the factory one") << changed << factory << "file" << 1;
        QTest::newRow("stored text padded, as char(50) keeps it")
            << row("NDgwOTE3" + QByteArray(42, ' ')) << factory << "file" << 0;
        QTest::newRow("first row counts")
            << row("MTIz") + "insert into pass values('NDgwOTE3');" << QByteArray("123\n") << "file" << 0;
        QTest::newRow("empty password") << row("") << QByteArray("\n") << "file" << 0;
        QTest::newRow("empty file is the empty password") << row("") << QByteArray() << "file" << 0;
        QTest::newRow("pass without mm opens for nobody")
            << QString("create table pass(x char(50)); insert into pass values('NDgwOTE3');") << factory << "file" << 1;
        QTest::newRow("standard input") << keep << factory << "-" << 0;
        QTest::newRow("standard input, wrong") << keep << QByteArray("1\n") << "-" << 1;
        QTest::newRow("no terminal, no option") << keep << factory << "" << 2;
    }

    void shouldOpenTheBookOnlyForItsLoginPassword()
    {
        QFETCH(QString, pass);
        QFETCH(QByteArray, fileText);
        QFETCH(QString, source);
        QFETCH(int, status);
        TestBook book;
        book.add({{QStringLiteral("朋友"), QStringLiteral("张三")}});
        if (!pass.isNull())
            setPass(book.path, pass);
        const QString file = book.folder.file(QStringLiteral("password"));
        TestFolder::writeAll(file, fileText);

        CapturingConsole console;
        QStringList arguments{QStringLiteral("--db"), book.path, QStringLiteral("list")};
        if (source == QStringLiteral("file"))
            arguments = QStringList{QStringLiteral("--password-file"), file} + arguments;
        if (source == QStringLiteral("-")) {
            arguments << QStringLiteral("--password-file") << QStringLiteral("-");
            console.input = fileText.left(fileText.indexOf('\n'));
        }
        const QByteArray before = book.bytes();
        const BookResult result = runBookAsGiven(arguments, console);
        QCOMPARE(result.status, status);
        QCOMPARE(book.bytes(), before);
        if (status == 0) {
            QVERIFY(result.out.join(u'\n').contains(QStringLiteral("张三")));
            return;
        }
        QVERIFY(result.out.isEmpty());
        if (status == 1)
            QCOMPARE(result.err, QStringList{QStringLiteral("密码不对")});
        else
            QVERIFY(result.err.value(0).contains(QStringLiteral("--password-file")));
    }

    void shouldAskThreeTimesAtTheTerminal_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("refusals");  // lines "密码不对"
        QTest::newRow("right at once") << QStringList{"480917"} << 0 << 1 << 0;
        QTest::newRow("right the third time") << QStringList{"1", "2", "480917"} << 0 << 3 << 2;
        QTest::newRow("wrong three times") << QStringList{"1", "2", "3", "480917"} << 1 << 3 << 3;
        QTest::newRow("input ended") << QStringList{"1"} << 1 << 2 << 2;
    }

    void shouldAskThreeTimesAtTheTerminal()
    {
        QFETCH(QStringList, typed);
        QFETCH(int, status);
        QFETCH(int, asked);
        QFETCH(int, refusals);
        TestBook book;
        book.add({{QStringLiteral("朋友"), QStringLiteral("张三")}});
        CapturingConsole console;
        console.answers = typed;
        const BookResult result = runBookAsGiven({QStringLiteral("--db"), book.path, QStringLiteral("list")}, console);
        QCOMPARE(result.status, status);
        QCOMPARE(console.prompts, QStringList(asked, QStringLiteral("密码：")));
        QCOMPARE(result.err, QStringList(refusals, QStringLiteral("密码不对")));
        QCOMPARE(result.out.isEmpty(), status != 0);
    }

    void shouldRefuseEveryCommandAWrongPassword_data()
    {
        QTest::addColumn<QStringList>("arguments");
        for (const QStringList& arguments : everyCommand())
            QTest::newRow(qPrintable(arguments.join(u' '))) << arguments;
    }

    // A command added later is added to the table above, or this fails.
    void shouldTryEveryCommandBehindThePassword()
    {
        QStringList tried;
        for (const QStringList& arguments : everyCommand())
            tried << arguments.first();
        for (const BookCommand& command : BookCommands())
            QVERIFY2(tried.contains(command.name), qPrintable(command.name));
    }

    void shouldRefuseEveryCommandAWrongPassword()
    {
        QFETCH(QStringList, arguments);
        TestBook book;
        book.add({{QStringLiteral("朋友"), QStringLiteral("张三")}});
        TestFolder::writeAll(book.folder.file(QStringLiteral("new.vcf")),
                             "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李四\r\nEND:VCARD\r\n");
        TestFolder::writeAll(book.folder.file(QStringLiteral("wrong")), "123456\n");
        for (QString& a : arguments)
            if (a.contains(u'.'))
                a = book.folder.file(a);
        const QByteArray before = book.bytes();
        const QStringList files = book.files();
        CapturingConsole console;
        const BookResult result = runBookAsGiven(
            QStringList{"--password-file", book.folder.file("wrong"), "--db", book.path} + arguments, console);
        QCOMPARE(result.status, ExitCode::Failure);
        QCOMPARE(result.err, QStringList{QStringLiteral("密码不对")});
        QVERIFY(result.out.isEmpty());
        QCOMPARE(book.bytes(), before);
        QCOMPARE(book.files(), files);
    }

    void shouldAskTheFactoryPasswordForABookItCreates()
    {
        TestFolder folder;
        TestFolder::writeAll(folder.file(QStringLiteral("new.vcf")),
                             "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李四\r\nEND:VCARD\r\n");
        TestFolder::writeAll(folder.file(QStringLiteral("wrong")), "123456\n");
        CapturingConsole refused;
        const QStringList import{"--db", folder.databasePath(), "import", folder.file("new.vcf")};
        QCOMPARE(runBookAsGiven(QStringList{"--password-file", folder.file("wrong")} + import, refused).status,
                 ExitCode::Failure);
        QVERIFY(!QFile::exists(folder.databasePath()));
        QCOMPARE(runBook(import).status, ExitCode::Success);
        // The new book holds the row a first login writes.
        TADOConnection connection;
        TADOQuery pass;
        pass.Connection = &connection;
        QVERIFY(OpenJetDatabase(connection, folder.databasePath(), ContactSchema::DatabasePassword()));
        QVERIFY(OpenTable(pass, ContactSchema::PasswordTable()));
        QCOMPARE(pass.RecordCount(), 1);
        QCOMPARE(pass.FieldByName(QStringLiteral("mm"))->AsString().trimmed(), QStringLiteral("NDgwOTE3"));
    }

    // A double click on a file from the desktop: nothing is written without the password.
    void shouldNotImportFromTheDesktopWithoutThePassword()
    {
        ScriptedDesktop desktop;
        TestBook book;
        const QString file = book.folder.file(QStringLiteral("new.vcf"));
        TestFolder::writeAll(file, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李四\r\nEND:VCARD\r\n");
        const QByteArray before = book.bytes();
        CapturingConsole console;
        const BookResult result = runBookAsGiven({"--db", book.path, "--gui", "import", file}, console);
        QCOMPARE(result.status, ExitCode::Usage);
        QCOMPARE(book.bytes(), before);
        QCOMPARE(desktop.boxes.size(), 1);
        QVERIFY(desktop.boxes[0].text.contains(QStringLiteral("--password-file")));
    }

    void shouldReadAPasswordFileThatIsNotThereAsAFailure()
    {
        TestBook book;
        CapturingConsole console;
        const BookResult result =
            runBookAsGiven({"--password-file", book.folder.file("nowhere"), "--db", book.path, "list"}, console);
        QCOMPARE(result.status, ExitCode::Failure);
        QVERIFY(result.err.value(0).contains(QStringLiteral("无法读取密码文件")));
        QVERIFY(result.out.isEmpty());
    }
};

QTEST_MAIN(GateTest)
#include "test_gate.moc"
