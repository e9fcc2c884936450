// The window's small free functions: the search filter text and the clipboard's lines.

#include "forms/ClipboardLines.h"
#include "forms/ContactColumns.h"
#include "forms/SearchFilter.h"

#include <QTest>

class MainWindowHelpersTest : public QObject {
    Q_OBJECT
private slots:
    void shouldJoinConditionsInFieldOrder_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("filter");
        QTest::newRow("none") << QStringList(7) << "";
        QTest::newRow("worked example 1")
            << QStringList{"朋友", "王", "", "", "", "", ""} << "类别 = '朋友' and 姓名 like  '%王%'";
        QTest::newRow("worked example 2")
            << QStringList{"", "王", "", "138", "", "", ""} << "姓名 like  '%王%' and 电话 like  '%138%'";
        QTest::newRow("trailing blank kept") << QStringList{"", "王 ", "", "", "", "", ""} << "姓名 like  '%王 %'";
        QTest::newRow("blanks count as filled") << QStringList{" ", "", "", "", "", "", ""} << "类别 = ' '";
        QTest::newRow("every field") << QStringList{"a", "b", "c", "d", "e", "f", "g"}
                                     << "类别 = 'a' and 姓名 like  '%b%' and 生日 like  '%c%' and 电话 like  '%d%'"
                                        " and QQ like  '%e%' and 地址 like  '%f%' and 备注 like  '%g%'";
        QTest::newRow("apostrophe doubled")
            << QStringList{"", "O'Neil", "", "", "", "", ""} << "姓名 like  '%O''Neil%'";
    }
    void shouldJoinConditionsInFieldOrder()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, filter);
        QCOMPARE(BuildSearchFilter(texts), filter);
    }

    void shouldSplitClipboardTextIntoLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("one line") << "张三" << QStringList{"张三"};
        QTest::newRow("final break gives no empty line") << "a\r\n" << QStringList{"a"};
        QTest::newRow("CRLF, CR, LF") << "a\r\nb\rc\nd" << QStringList{"a", "b", "c", "d"};
        QTest::newRow("LF CR is two breaks") << "a\n\rb" << QStringList{"a", "", "b"};
        QTest::newRow("empty lines kept") << "\n\na" << QStringList{"", "", "a"};
        QTest::newRow("blanks untouched") << "  a \t" << QStringList{"  a \t"};
        QTest::newRow("NUL ends the text") << QString("a\nb") + QChar(0) + "c\nd" << QStringList{"a", "b"};
        QTest::newRow("only a break") << "\r\n" << QStringList{""};
    }
    void shouldSplitClipboardTextIntoLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(SplitClipboardLines(text), lines);
    }

    void shouldWriteNumbersRightAfterTheirText()
    {
        QCOMPARE(RecordCountText(0), QStringLiteral("总人数0"));
        QCOMPARE(RecordCountText(12), QStringLiteral("总人数12"));
        QCOMPARE(PositionText(3), QStringLiteral("当前位置3"));
        QCOMPARE(PositionText(-1), QStringLiteral("当前位置-1"));
    }
};

QTEST_APPLESS_MAIN(MainWindowHelpersTest)
#include "test_mainwindow_helpers.moc"
