// tessaly-book's usage, help, exit statuses, list and check.

#include "store/ContactSchema.h"
#include "tests/book/BookTesting.h"

#include <QTest>

class CommandsTest : public QObject {
    Q_OBJECT

private slots:
    void shouldRefuseWrongUsageWithStatusTwoAndChangeNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no command") << QStringList{} << "缺少命令";
        QTest::newRow("unknown command") << QStringList{"frob"} << "未知的命令：frob";
        QTest::newRow("--db without a file") << QStringList{"list", "--db"} << "--db 后面缺少通讯录文件名";
        QTest::newRow("--db= without a file") << QStringList{"--db=", "list"} << "--db 后面缺少通讯录文件名";
        QTest::newRow("import without files") << QStringList{"import", "--dry-run"} << "import 需要至少一个文件";
        QTest::newRow("import of an unknown kind") << QStringList{"import", "a.vcf", "b.txt"} << "不能导入 b.txt";
        QTest::newRow("import with an unknown flag")
            << QStringList{"import", "--fast", "a.vcf"} << "import 不认识选项 --fast";
        QTest::newRow("export without a file") << QStringList{"export"} << "export 需要一个文件";
        QTest::newRow("export to two files") << QStringList{"export", "a.vcf", "b.vcf"} << "export 需要一个文件";
        QTest::newRow("export to an unknown kind") << QStringList{"export", "a.doc"} << "不能导出为 a.doc";
        QTest::newRow("list with a file") << QStringList{"list", "x"} << "list 不接受参数 x";
        QTest::newRow("check with a flag") << QStringList{"check", "--deep"} << "check 不认识选项 --deep";
        QTest::newRow("backup to two files") << QStringList{"backup", "a.mdb", "b.mdb"} << "backup 最多接受一个文件";
        QTest::newRow("qr without a file") << QStringList{"qr", "1"} << "qr 需要编号和一个 .png 或 .svg 文件";
        QTest::newRow("qr of no number") << QStringList{"qr", "+1", "a.png"} << "qr 的编号应是";
        QTest::newRow("qr to a photo") << QStringList{"qr", "1", "a.jpg"} << "qr 只能写 .png 或 .svg 文件";
        QTest::newRow("--password-file without a file")
            << QStringList{"list", "--password-file"} << "--password-file 后面缺少密码文件名";
    }

    void shouldRefuseWrongUsageWithStatusTwoAndChangeNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        TestBook book;
        book.add({{QStringLiteral("朋友"), QStringLiteral("张三")}});
        const QByteArray before = book.bytes();
        const BookResult result = book.run(arguments);
        QCOMPARE(result.status, ExitCode::Usage);
        QVERIFY2(result.err.value(0).startsWith(QStringLiteral("tessaly-book：") + message),
                 qPrintable(result.err.value(0)));
        QCOMPARE(result.err.value(1), QStringLiteral("用法见 tessaly-book --help"));
        QVERIFY(result.out.isEmpty());
        QCOMPARE(book.bytes(), before);
        QCOMPARE(book.files(), QStringList{QStringLiteral("Kalvo.mdb")});
    }

    void shouldExplainEveryCommandInHelp()
    {
        const BookResult result = runBook({QStringLiteral("list"), QStringLiteral("--help")});
        QCOMPARE(result.status, ExitCode::Success);
        const QString help = result.out.join(u'\n');
        QVERIFY(help.startsWith(QStringLiteral("用法：tessaly-book")));
        for (const BookCommand& command : BookCommands())
            QVERIFY2(help.contains(QStringLiteral("\n  ") + command.name), qPrintable(command.name));
        QVERIFY(help.contains(QStringLiteral("--dry-run")));
        QVERIFY(help.contains(QStringLiteral("2 用法错误")));
    }

    void shouldFailWithStatusOneWhenTheBookCannotBeOpened_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("content");  // "" for no file at all
        QTest::addColumn<QString>("message");
        for (const QString& command : {QStringLiteral("list"), QStringLiteral("check"), QStringLiteral("backup")}) {
            QTest::addRow("%s, no book", qPrintable(command)) << command << QByteArray() << "找不到通讯录";
            QTest::addRow("%s, not a book", qPrintable(command))
                << command << QByteArray(4096, 'x') << "通讯录: 不是数据库文件或密码错误";
        }
        QTest::newRow("export, empty file") << "export" << QByteArray("") << "找不到通讯录";
    }

    void shouldFailWithStatusOneWhenTheBookCannotBeOpened()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        TestFolder folder;
        const QString path = folder.databasePath();
        if (!content.isEmpty())
            TestFolder::writeAll(path, content);
        QStringList arguments{QStringLiteral("--db"), path, command};
        if (command == QStringLiteral("export"))
            arguments << folder.file(QStringLiteral("out.vcf"));
        const BookResult result = runBook(arguments);
        QCOMPARE(result.status, ExitCode::Failure);
        QVERIFY2(result.err.value(0).startsWith(QStringLiteral("错误：") + message), qPrintable(result.err.value(0)));
        QCOMPARE(result.err.last(), QStringLiteral("通讯录未改动。"));
        QCOMPARE(TestFolder::readAll(path), content);
        const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(left, content.isEmpty() ? QStringList() : QStringList{QStringLiteral("Kalvo.mdb")});
    }

    void shouldLeaveNoFileWhereItCannotWrite_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("target");
        QTest::newRow("export into a missing folder") << "export"
                                                      << "no/such/out.vcf";
        QTest::newRow("backup into a missing folder") << "backup"
                                                      << "no/such/copy.mdb";
        QTest::newRow("export onto a folder") << "export"
                                              << "folder.vcf";
    }

    void shouldLeaveNoFileWhereItCannotWrite()
    {
        QFETCH(QString, command);
        QFETCH(QString, target);
        TestBook book;
        QVERIFY(QDir(book.folder.path()).mkdir(QStringLiteral("folder.vcf")));
        const BookResult result = book.run({command, book.folder.file(target)});
        QCOMPARE(result.status, ExitCode::Failure);
        QCOMPARE(book.files(), QStringList{QStringLiteral("Kalvo.mdb")});
        QVERIFY(QFileInfo(book.folder.file(QStringLiteral("folder.vcf"))).isDir());
    }

    void shouldListTrimmedTextsTabSeparatedForAProgram()
    {
        TestBook book;
        book.add({{QStringLiteral("朋友"), QStringLiteral(" 张三 "), QString(), QStringLiteral("13800138000")},
                  {QString(), QStringLiteral("李四"), QString(), QString(), QString(), QString(),
                   QStringLiteral("第一行\n第二行\t完")}});
        const BookResult result = book.run({QStringLiteral("list")});
        QCOMPARE(result.status, ExitCode::Success);
        QCOMPARE(result.out,
                 (QStringList{ContactTextColumns().join(u'\t'), QStringLiteral("朋友\t张三\t\t13800138000\t\t\t"),
                              QStringLiteral("\t李四\t\t\t\t\t第一行 第二行 完")}));
    }

    void shouldAlignColumnsByTheirShownWidthOnATerminal()
    {
        TestBook book;
        book.add({{QStringLiteral("朋友"), QStringLiteral("欧阳修"), QStringLiteral("1990-1-2")},
                  {QStringLiteral("VIP"), QStringLiteral("Li"), QString()}});
        const BookResult result = book.run({QStringLiteral("list")}, true);
        QCOMPARE(result.status, ExitCode::Success);
        QCOMPARE(result.out.size(), 3);
        // 类别 is 4 columns wide like 朋友; VIP is 3; then two blanks before 姓名's column.
        QCOMPARE(result.out[0].left(10), QStringLiteral("类别  姓名    "));
        QCOMPARE(result.out[1].left(9), QStringLiteral("朋友  欧阳修  "));
        QCOMPARE(result.out[2].left(14), QStringLiteral("VIP   Li      "));
    }

    void shouldCheckASoundBook()
    {
        TestBook book;
        book.add({{QString(), QStringLiteral("甲")}, {QString(), QStringLiteral("乙")}});
        const BookResult result = book.run({QStringLiteral("check")});
        QCOMPARE(result.status, ExitCode::Success);
        QCOMPARE(result.out, (QStringList{QStringLiteral("完整性检查：正常"), QStringLiteral("联系人：2 个")}));
    }

    void shouldFindADamagedBookDamaged_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("truncate");
        QTest::newRow("a page overwritten") << 20 * 1024 + 100 << 200 << false;
        QTest::newRow("the header overwritten") << 0 << 64 << false;
        QTest::newRow("cut short") << 12 * 1024 << 0 << true;
    }

    void shouldFindADamagedBookDamaged()
    {
        QFETCH(int, offset);
        QFETCH(int, length);
        QFETCH(bool, truncate);
        TestBook book;
        QList<QList<QVariant>> many;
        for (int i = 0; i < 400; ++i)
            many.push_back({QStringLiteral("类别"), QStringLiteral("名字%1").arg(i), QString(), QString(), QString(),
                            QString(30, u'址'), QString(100, u'注')});
        book.add(many);
        QByteArray bytes = book.bytes();
        QVERIFY(bytes.size() > offset + length);
        if (truncate)
            bytes.truncate(offset);
        else
            bytes.replace(offset, length, QByteArray(length, '\x5a'));
        TestFolder::writeAll(book.path, bytes);

        const BookResult result = book.run({QStringLiteral("check")});
        QCOMPARE(result.status, ExitCode::Failure);
        QVERIFY(!result.err.isEmpty());
        QVERIFY(!result.out.contains(QStringLiteral("完整性检查：正常")));
        QCOMPARE(book.bytes(), bytes);
    }
};

QTEST_GUILESS_MAIN(CommandsTest)
#include "test_commands.moc"
