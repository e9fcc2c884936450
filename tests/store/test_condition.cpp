#include "store/Condition.h"

#include <QTest>

class ConditionTest : public QObject {
    Q_OBJECT
private slots:
    void shouldFormatEachKind_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("quoted");
        QTest::addColumn<QString>("condition");
        // Quoted: two blanks after like; starts-with ends in "*", contains uses "%".
        QTest::newRow("starts with") << "姓名"
                                     << "王" << -1 << true << "姓名 like  '王*'";
        QTest::newRow("starts with far") << "姓名"
                                         << "王" << -9 << true << "姓名 like  '王*'";
        QTest::newRow("equals") << "类别"
                                << "朋友" << 0 << true << "类别 = '朋友'";
        QTest::newRow("contains") << "姓名"
                                  << "王" << 1 << true << "姓名 like  '%王%'";
        QTest::newRow("contains far") << "电话"
                                      << "138" << 5 << true << "电话 like  '%138%'";
        QTest::newRow("trailing blank kept") << "姓名"
                                             << "王 " << 1 << true << "姓名 like  '%王 %'";
        QTest::newRow("empty value") << "备注"
                                     << "" << 0 << true << "备注 = ''";
        // Bare: " <= ", " < " and " = " with blanks on both sides, " >" and " >=" without one after.
        QTest::newRow("le") << "QQ"
                            << "5" << -2 << false << "QQ <= 5";
        QTest::newRow("lt") << "QQ"
                            << "5" << -1 << false << "QQ < 5";
        QTest::newRow("gt") << "QQ"
                            << "5" << 1 << false << "QQ >5";
        QTest::newRow("ge") << "QQ"
                            << "5" << 2 << false << "QQ >=5";
        QTest::newRow("eq") << "QQ"
                            << "5" << 0 << false << "QQ = 5";
        QTest::newRow("other kind equals") << "QQ"
                                           << "5" << 7 << false << "QQ = 5";
        QTest::newRow("below table equals") << "QQ"
                                            << "5" << -3 << false << "QQ = 5";
        QTest::newRow("bare value untouched") << "QQ"
                                              << "'a'" << 0 << false << "QQ = 'a'";
    }
    void shouldFormatEachKind()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(int, kind);
        QFETCH(bool, quoted);
        QFETCH(QString, condition);
        QCOMPARE(BuildCondition(field, value, kind, quoted), condition);
    }

    void shouldDoubleApostrophesButKeepWildcards()
    {
        QCOMPARE(BuildCondition("姓名", "O'Neil", 1, true), QStringLiteral("姓名 like  '%O''Neil%'"));
        QCOMPARE(BuildCondition("姓名", "''", 0, true), QStringLiteral("姓名 = ''''''"));
        QCOMPARE(BuildCondition("姓名", "O'", -1, true), QStringLiteral("姓名 like  'O''*'"));
        QCOMPARE(BuildCondition("备注", "5%*_", 1, true), QStringLiteral("备注 like  '%5%*_%'"));
    }

    void shouldJoinSearchConditionsAsTheWorkedExamples()
    {
        QCOMPARE(BuildCondition("类别", "朋友", 0, true) + " and " + BuildCondition("姓名", "王", 1, true),
                 QStringLiteral("类别 = '朋友' and 姓名 like  '%王%'"));
        QCOMPARE(BuildCondition("姓名", "王", 1, true) + " and " + BuildCondition("电话", "138", 1, true),
                 QStringLiteral("姓名 like  '%王%' and 电话 like  '%138%'"));
    }
};

QTEST_APPLESS_MAIN(ConditionTest)
#include "test_condition.moc"
