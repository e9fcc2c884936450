// The small texts the engine reads: connection texts, declared column types, sort texts.

#include "store/ColumnInfo.h"
#include "store/ConnectionText.h"
#include "store/SortOrder.h"
#include "store/SqliteHandle.h"
#include "store/TextWidth.h"

#include <QTest>

class EngineTextsTest : public QObject {
    Q_OBJECT
private slots:
    void shouldReadConnectionValuesWhateverTheirCaseAndBlanks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QString jet = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info = False;"
                                           "Mode = ReadWrite;Data Source=/tmp/a b/Kalvo.mdb;"
                                           "Jet OLEDB:Database Password=s3cret");
        QTest::newRow("file with a blank") << jet << "Data Source"
                                           << "/tmp/a b/Kalvo.mdb";
        QTest::newRow("password") << jet << "jet oledb:database password"
                                  << "s3cret";
        QTest::newRow("blanks around =") << jet << "MODE"
                                         << "ReadWrite";
        QTest::newRow("missing key") << jet << "User ID" << QString();
        QTest::newRow("empty value") << "Data Source=;Provider=x"
                                     << "Data Source"
                                     << "";
    }

    void shouldReadConnectionValuesWhateverTheirCaseAndBlanks()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString read = ConnectionValue(text, key);
        QCOMPARE(read, value);
        QCOMPARE(read.isNull(), value.isNull());
    }

    void shouldShowSqliteFailuresAsStandardExceptions()
    {
        const SqliteHandle db = OpenWithKey(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE, QString());
        try {
            Statement statement(db.get(), QStringLiteral("select * from 无此表"));
            QFAIL("the statement compiled");
        } catch (const std::exception& e) {
            const auto* failure = dynamic_cast<const SqliteFailure*>(&e);
            QVERIFY(failure);
            QCOMPARE(failure->code, SQLITE_ERROR);
            QVERIFY(failure->Message.contains(QStringLiteral("无此表")));
            QCOMPARE(QString::fromUtf8(e.what()), failure->Message);
        }
    }

    void shouldAnswerOnlyToJetProvider()
    {
        QVERIFY(IsJetProvider(QStringLiteral(" provider = microsoft.jet.oledb.4.0 ;Data Source=x")));
        QVERIFY(!IsJetProvider(QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=x")));
        QVERIFY(!IsJetProvider(QStringLiteral("Data Source=x")));
    }

    void shouldDescribeDeclaredTypes_data()
    {
        QTest::addColumn<QString>("declared");
        QTest::addColumn<bool>("blob");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("padded");
        QTest::newRow("char") << "char(10)" << false << 10 << true;
        QTest::newRow("capitals and blanks") << "CHAR ( 15 )" << false << 15 << true;
        QTest::newRow("varchar") << "varchar(20)" << false << 20 << false;
        QTest::newRow("image") << "image" << true << 0 << false;
        QTest::newRow("blob") << "BLOB" << true << 0 << false;
        QTest::newRow("none") << "" << false << 0 << false;
        QTest::newRow("integer") << "integer" << false << 0 << false;
    }

    void shouldDescribeDeclaredTypes()
    {
        QFETCH(QString, declared);
        QFETCH(bool, blob);
        QFETCH(int, width);
        QFETCH(bool, padded);
        const ColumnInfo info = DescribeColumn(QStringLiteral("c"), declared);
        QCOMPARE(info.blob, blob);
        QCOMPARE(info.width, width);
        QCOMPARE(info.padded, padded);
    }

    void shouldFindTableOfSelectAll()
    {
        QCOMPARE(TableOfSelectAll(QStringLiteral("select * from rem")), QStringLiteral("rem"));
        QCOMPARE(TableOfSelectAll(QStringLiteral("  SELECT  *\nFROM pass ;")), QStringLiteral("pass"));
        QVERIFY(TableOfSelectAll(QStringLiteral("select 姓名 from rem")).isNull());
        QVERIFY(TableOfSelectAll(QStringLiteral("select * from rem where 1")).isNull());
    }

    void shouldParseSortTexts()
    {
        const auto terms = ParseSortText(QStringLiteral("姓名   ASC, 类别 desc ,QQ"));
        QCOMPARE(int(terms.size()), 3);
        QCOMPARE(terms[0].column, QStringLiteral("姓名"));
        QVERIFY(!terms[0].descending);
        QVERIFY(terms[1].descending);
        QCOMPARE(terms[2].column, QStringLiteral("QQ"));
        QVERIFY(ParseSortText(QStringLiteral("   ")).empty());
        QVERIFY_THROWS_EXCEPTION(SortSyntaxError, ParseSortText(QStringLiteral("姓名 upward")));
        QVERIFY_THROWS_EXCEPTION(SortSyntaxError, ParseSortText(QStringLiteral("姓名 ASC,")));
    }

    void shouldCountAndPadByCharacters()
    {
        const QString astral = QString::fromUcs4(U"\U0002A6A5");
        QCOMPARE(CodePointCount(astral + QStringLiteral("张a")), 3);
        QCOMPARE(PadToWidth(astral, 3), astral + QStringLiteral("  "));
        QCOMPARE(PadToWidth(QStringLiteral("abcd"), 2), QStringLiteral("abcd"));
    }
};

QTEST_APPLESS_MAIN(EngineTextsTest)
#include "test_engine_texts.moc"
