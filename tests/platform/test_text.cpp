#include "platform/Gbk.h"
#include "platform/Trim.h"

#include <QTest>

class TextTest : public QObject {
    Q_OBJECT
private slots:
    void shouldEncodeGbkBytesAndKeepWhatGbkCannotHold()
    {
        QCOMPARE(toGbk(QStringLiteral("类别")), QByteArray("\xC0\xE0\xB1\xF0"));
        QCOMPARE(toGbk(QStringLiteral("提示")), QByteArray("\xCC\xE1\xCA\xBE"));
        QCOMPARE(toGbk(QStringLiteral("QQ")), QByteArray("QQ"));
        // A character outside GBK survives the round trip (GB18030 four-byte form).
        const QString rare = QString::fromUcs4(U"\U00020000a\u20AC");
        QCOMPARE(fromGbk(toGbk(rare)), rare);
        QCOMPARE(fromGbk(QByteArray("\xD0\xD5\xC3\xFB")), QStringLiteral("姓名"));
    }

    void shouldTrimOnlyCodesUpToBlank()
    {
        QCOMPARE(TrimControl(QStringLiteral(" \t张三   \r\n")), QStringLiteral("张三"));
        QCOMPARE(TrimControl(QStringLiteral("\u3000张三\u3000")), QStringLiteral("\u3000张三\u3000"));
        QCOMPARE(TrimControl(QString(QChar(0)) + "a" + QChar(31)), QStringLiteral("a"));
        QCOMPARE(TrimControl(QStringLiteral("   ")), QString());
        QCOMPARE(TrimControlBytes(QByteArray("\x01 ab \x20\x00", 7)), QByteArray("ab"));
    }

    void shouldLowerAsciiLettersOnly()
    {
        QCOMPARE(LowerAscii(QStringLiteral("CREATE Table ÄÖ 类")), QStringLiteral("create table ÄÖ 类"));
        QCOMPARE(LowerAsciiBytes(QByteArray("REPORT.XLS\xC0\xE0")), QByteArray("report.xls\xC0\xE0"));
    }
};

QTEST_APPLESS_MAIN(TextTest)
#include "test_text.moc"
