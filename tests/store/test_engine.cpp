// The engine's connection and storage: encryption, refused opens, padding,
// widths, record identity, stale writes and photos.

#include "store/AdoxCatalog.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "tests/support/ContactBook.h"

#include <QDir>
#include <QFile>

class EngineTest : public QObject {
    Q_OBJECT
private slots:
    void shouldCreateEncryptedFileThatRefusesAnotherPassword()
    {
        ContactBook db;
        db.query.AppendRecord(
            {QStringLiteral("朋友"), QStringLiteral("秘密名字"), QString(), QStringLiteral("13800138000")});
        db.connection.Close();
        const QString path = db.folder.databasePath();
        const QByteArray bytes = TestFolder::readAll(path);
        QVERIFY(bytes.size() > 0);
        QVERIFY(!bytes.startsWith(QByteArray("SQLite format 3\0", 16)));
        QVERIFY(!bytes.contains(QStringLiteral("秘密名字").toUtf8()));
        QVERIFY(!bytes.contains("13800138000"));

        TADOConnection other;
        QVERIFY(!OpenJetDatabase(other, path, QStringLiteral("wrong")));
        QVERIFY(!other.Connected());
        QCOMPARE(TestFolder::readAll(path), bytes);
        QCOMPARE(QDir(db.folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("Kalvo.mdb")});

        QVERIFY(OpenJetDatabase(other, path, ContactSchema::DatabasePassword()));
        TADOQuery query;
        query.Connection = &other;
        QVERIFY(OpenTable(query, ContactSchema::ContactTable()));
        QCOMPARE(query.RecordCount(), 1);
    }

    void shouldRefuseToOpenWhatIsNoDatabaseAndLeaveItAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing file") << "missing";
        QTest::newRow("directory") << "directory";
        QTest::newRow("empty file") << "empty";
        QTest::newRow("text file") << "text";
        QTest::newRow("unencrypted database") << "plain";
    }

    void shouldRefuseToOpenWhatIsNoDatabaseAndLeaveItAlone()
    {
        QFETCH(QString, kind);
        TestFolder folder;
        const QString path = folder.databasePath();
        if (kind == "directory")
            QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Kalvo.mdb")));
        else if (kind == "empty")
            TestFolder::writeAll(path, QByteArray());
        else if (kind == "text")
            TestFolder::writeAll(path, QByteArray(4096, 'x'));
        else if (kind == "plain") {
            QVERIFY(CreateJetDatabase(path, QString()));  // an empty key leaves the file unencrypted
        }
        const QByteArray before = TestFolder::readAll(path);

        TADOConnection connection;
        QVERIFY(!OpenJetDatabase(connection, path, ContactSchema::DatabasePassword()));
        QVERIFY(!connection.Connected());
        QCOMPARE(TestFolder::readAll(path), before);
        QCOMPARE(QFileInfo::exists(path), kind != "missing");
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(),
                 kind == "missing" ? 0 : 1);
    }

    void shouldNameTheConnectionInItsErrors()
    {
        TestFolder folder;
        TADOConnection connection;
        connection.ConnectionString = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;"
                                                     "Jet OLEDB:Database Password=x")
                                          .arg(folder.databasePath());
        expectDatabaseError([&] { connection.Open(); }, QStringLiteral("ADOConnection1: 无法打开数据库文件"));

        TestFolder::writeAll(folder.databasePath(), QByteArray(4096, 'x'));
        expectDatabaseError([&] { connection.Open(); }, QStringLiteral("ADOConnection1: 不是数据库文件或密码错误"));

        connection.ConnectionString = QStringLiteral("Provider=SQLOLEDB;Data Source=") + folder.databasePath();
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, connection.Open());
        QVERIFY(!connection.Connected());
    }

    void shouldRefuseToCreateOverAnythingAtThePath()
    {
        TestFolder folder;
        const QString path = folder.databasePath();
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Kalvo.mdb")));
        QVERIFY(!CreateJetDatabase(path, ContactSchema::DatabasePassword()));
        QVERIFY(QFileInfo(path).isDir());

        const QString file = folder.file(QStringLiteral("other.mdb"));
        QVERIFY(CreateJetDatabase(file, ContactSchema::DatabasePassword()));
        const QByteArray created = TestFolder::readAll(file);
        QVERIFY(!CreateJetDatabase(file, QStringLiteral("another")));
        QCOMPARE(TestFolder::readAll(file), created);

        try {
            CreateOleObject(QStringLiteral("ADOX.Catalogue"));
            QFAIL("an unknown class was created");
        } catch (const EOleError& e) {
            QCOMPARE(e.Message, QStringLiteral("无效的类字符串"));
        }
    }

    void shouldConnectFirstWhenStatementRunsOnClosedConnection()
    {
        ContactBook db;
        db.query.Close();
        db.connection.Close();
        db.query.SQL = QStringList{ContactSchema::CreatePasswordTable()};
        db.query.ExecSQL();
        QVERIFY(db.connection.Connected());

        db.connection.Close();
        db.reopen();
        QVERIFY(db.query.Active());

        db.query.Close();
        db.connection.Close();
        db.connection.ConnectionString.replace(QStringLiteral("Password=") + ContactSchema::DatabasePassword(),
                                               QStringLiteral("Password=bad"));
        expectDatabaseError([&] { db.query.Open(); }, QStringLiteral("ADOConnection1: 不是数据库文件或密码错误"));
        QVERIFY(!db.query.Active());
    }

    void shouldPadFixedWidthTextsAndReadNullsAsEmpty()
    {
        ContactBook db;
        const QString astral = QString::fromUcs4(U"\U00020000");
        db.query.AppendRecord({QStringLiteral("朋友"), astral + QStringLiteral("张"), QString(), QStringLiteral("")});
        TField* name = db.query.FieldByName(QStringLiteral("姓名"));
        QCOMPARE(name->AsString(), astral + QStringLiteral("张") + QString(8, ' '));
        QCOMPARE(db.query.FieldByName(QStringLiteral("类别"))->AsString(), QStringLiteral("朋友") + QString(8, ' '));
        QCOMPARE(db.query.FieldByName(QStringLiteral("qq"))->FieldName, QStringLiteral("QQ"));
        for (const char* column : {"生日", "电话", "备注", "jpg"}) {
            TField* field = db.query.FieldByName(QString::fromUtf8(column));
            QVERIFY2(field->IsNull(), column);
            QCOMPARE(field->AsString(), QString());
        }
        QCOMPARE(db.query.DisplayText(0, 1), name->AsString());
        QCOMPARE(db.query.DisplayText(0, 7), QStringLiteral("(Blob)"));

        db.reopen();
        QCOMPARE(db.query.FieldByName(QStringLiteral("姓名"))->AsString(),
                 astral + QStringLiteral("张") + QString(8, ' '));
        SecondCopy other(db.folder.databasePath());
        QCOMPARE(other.column(QStringLiteral("select typeof(电话) from rem")), QStringList{"null"});
    }

    void shouldRefuseOverlongTextAndKeepTheRecord()
    {
        ContactBook db;
        db.query.AppendRecord({QStringLiteral("同学"), QStringLiteral("一二三四五六七八九十")});
        db.query.Edit();
        db.query.FieldByName(QStringLiteral("姓名"))->SetAsString(QStringLiteral("一二三四五六七八九十壹"));
        db.query.FieldByName(QStringLiteral("类别"))->SetAsString(QStringLiteral("朋友"));
        expectDatabaseError([&] { db.query.Post(); }, QStringLiteral("ADOQuery1: 字段 姓名 最多 10 个字符"));
        QCOMPARE(db.query.State(), TADOQuery::dsBrowse);
        QCOMPARE(db.name(), QStringLiteral("一二三四五六七八九十"));
        QCOMPARE(db.query.FieldByName(QStringLiteral("类别"))->AsString().trimmed(), QStringLiteral("同学"));

        expectDatabaseError(
            [&] {
                db.query.AppendRecord({QString(), QStringLiteral("x"), QString(16, '1')});
            },
            QStringLiteral("ADOQuery1: 字段 生日 最多 15 个字符"));
        QCOMPARE(db.query.RecordCount(), 1);
        QCOMPARE(db.query.RecNo(), 1);

        db.reopen();
        QCOMPARE(db.query.RecordCount(), 1);
        QCOMPARE(db.query.FieldByName(QStringLiteral("类别"))->AsString().trimmed(), QStringLiteral("同学"));
    }

    void shouldChangeOnlyOneOfTwoIdenticalRecords()
    {
        ContactBook db;
        db.addNames({QStringLiteral("张三"), QStringLiteral("张三")});
        db.query.SetRecNo(2);
        db.query.Edit();
        db.query.FieldByName(QStringLiteral("电话"))->SetAsString(QStringLiteral("110"));
        db.query.Post();
        db.query.First();
        db.query.Delete();
        db.reopen();
        QCOMPARE(db.query.RecordCount(), 1);
        QCOMPARE(db.query.FieldByName(QStringLiteral("电话"))->AsString().trimmed(), QStringLiteral("110"));
    }

    void shouldRefuseWritesToRecordsChangedElsewhere_data()
    {
        QTest::addColumn<QString>("elsewhere");
        QTest::addColumn<bool>("deleting");
        const QStringList changes{
            QStringLiteral("update rem set 电话 = '999'"),
            QStringLiteral("delete from rem"),
            QStringLiteral("delete from rem; insert into rem(rowid, 姓名) values(1, '李四')"),
            QStringLiteral("update rem set jpg = x'0102'"),
        };
        const char* names[] = {"changed", "removed", "removed and replaced", "photo added"};
        for (int i = 0; i < changes.size(); ++i) {
            QTest::addRow("%s, update", names[i]) << changes[i] << false;
            QTest::addRow("%s, delete", names[i]) << changes[i] << true;
        }
    }

    void shouldRefuseWritesToRecordsChangedElsewhere()
    {
        QFETCH(QString, elsewhere);
        QFETCH(bool, deleting);
        ContactBook db;
        db.addNames({QStringLiteral("张三")});
        SecondCopy other(db.folder.databasePath());
        other.execute(elsewhere);
        const QStringList stored = other.column(QStringLiteral("select 姓名 || '/' || ifnull(电话, '') || '/' || "
                                                               "ifnull(hex(jpg), '') from rem"));
        const QString stale = QStringLiteral("ADOQuery1: 记录已被其他程序修改或删除");
        if (deleting) {
            expectDatabaseError([&] { db.query.Delete(); }, stale);
        } else {
            db.query.Edit();
            db.query.FieldByName(QStringLiteral("电话"))->SetAsString(QStringLiteral("123"));
            expectDatabaseError([&] { db.query.Post(); }, stale);
        }
        QCOMPARE(db.query.State(), TADOQuery::dsBrowse);
        QCOMPARE(db.query.RecordCount(), 1);
        QCOMPARE(other.column(QStringLiteral("select 姓名 || '/' || ifnull(电话, '') || '/' || "
                                             "ifnull(hex(jpg), '') from rem")),
                 stored);
    }

    void shouldCancelEditWhenTheFileRefusesTheWrite()
    {
        ContactBook db;
        db.addNames({QStringLiteral("张三"), QStringLiteral("李四")});
        db.query.First();
        SecondCopy other(db.folder.databasePath());
        other.execute(
            QStringLiteral("create trigger no_update before update on rem begin select raise(abort, 'refused'); end;"
                           "create trigger no_insert before insert on rem begin select raise(abort, 'refused'); end"));
        db.query.Edit();
        db.query.FieldByName(QStringLiteral("姓名"))->SetAsString(QStringLiteral("王五"));
        expectDatabaseError([&] { db.query.Post(); }, QStringLiteral("ADOQuery1: refused"));
        QCOMPARE(db.query.State(), TADOQuery::dsBrowse);
        QCOMPARE(db.name(), QStringLiteral("张三"));

        expectDatabaseError(
            [&] {
                db.query.AppendRecord({QString(), QStringLiteral("赵六")});
            },
            QStringLiteral("ADOQuery1: refused"));
        QCOMPARE(db.query.State(), TADOQuery::dsBrowse);
        QCOMPARE(db.query.RecordCount(), 2);
        QCOMPARE(db.query.RecNo(), 1);
        QCOMPARE(other.column(QStringLiteral("select 姓名 || '' from rem")), (QStringList{"张三", "李四"}));
    }

    void shouldReadPhotoBytesOnlyWhenAsked()
    {
        ContactBook db;
        db.addNames({QStringLiteral("张三")});
        db.query.Edit();
        db.query.FieldByName(QStringLiteral("jpg"))->SetAsBytes(QByteArray("\xFF\xD8\x00\x01", 4));
        db.query.Post();
        QCOMPARE(db.query.DisplayText(0, 7), QStringLiteral("(BLOB)"));
        // Another copy puts other bytes of the same length: what is read is what the file holds now.
        SecondCopy other(db.folder.databasePath());
        other.execute(QStringLiteral("update rem set jpg = x'FFD80203'"));
        QCOMPARE(db.query.FieldByName(QStringLiteral("jpg"))->AsBytes(), QByteArray("\xFF\xD8\x02\x03", 4));
        QVERIFY(!db.query.FieldByName(QStringLiteral("jpg"))->IsNull());
        QCOMPARE(other.column(QStringLiteral("select typeof(jpg) from rem")), QStringList{"blob"});
    }

    void shouldStoreZeroLengthPhotoAsEmptyBlob()
    {
        ContactBook db;
        db.addNames({QStringLiteral("张三")});
        db.query.Edit();
        db.query.FieldByName(QStringLiteral("jpg"))->SetAsBytes(QByteArray());
        db.query.Post();
        QVERIFY(!db.query.FieldByName(QStringLiteral("jpg"))->IsNull());
        QCOMPARE(db.query.FieldByName(QStringLiteral("jpg"))->AsBytes(), QByteArray());
        SecondCopy other(db.folder.databasePath());
        QCOMPARE(other.column(QStringLiteral("select typeof(jpg) || length(jpg) from rem")), QStringList{"blob0"});
    }

    void shouldRefuseOperationsOnClosedQuery()
    {
        ContactBook db;
        db.query.Close();
        const QString closed = QStringLiteral("ADOQuery1: 无法在关闭的数据集上执行该操作");
        const QList<std::function<void()>> actions{
            [&] { db.query.RecordCount(); },
            [&] { db.query.Edit(); },
            [&] { db.query.Append(); },
            [&] { db.query.Delete(); },
            [&] { db.query.First(); },
            [&] { db.query.Next(); },
            [&] { db.query.Post(); },
            [&] { db.query.SetRecNo(1); },
            [&] { db.query.FieldByName("姓名"); },
            [&] {
                db.query.AppendRecord({"a", "b"});
            },
        };
        for (const auto& action : actions)
            expectDatabaseError(action, closed);
        QCOMPARE(db.query.RecNo(), -1);
    }

    void shouldNameQueryInItsRefusals()
    {
        ContactBook db;
        expectDatabaseError([&] { db.query.Delete(); }, QStringLiteral("ADOQuery1: 无法在空数据集上执行该操作"));
        expectDatabaseError([&] { db.query.FieldByName(QStringLiteral("x")); },
                            QStringLiteral("ADOQuery1: 字段 'x' 未找到"));
        db.addNames({QStringLiteral("张三")});
        expectDatabaseError([&] { db.query.FieldByName(QStringLiteral("姓名"))->SetAsString(QStringLiteral("李四")); },
                            QStringLiteral("ADOQuery1: 数据集不在编辑或插入状态"));
    }

    void shouldStartNewRecordWhenEditingEmptyView()
    {
        ContactBook db;
        db.query.Edit();
        QCOMPARE(db.query.State(), TADOQuery::dsInsert);
        db.query.FieldByName(QStringLiteral("姓名"))->SetAsString(QStringLiteral("王五"));
        db.query.Post();
        QCOMPARE(db.query.RecordCount(), 1);
        QCOMPARE(db.query.RecNo(), 1);
        QCOMPARE(db.name(), QStringLiteral("王五"));
    }
};

QTEST_APPLESS_MAIN(EngineTest)
#include "test_engine.moc"
