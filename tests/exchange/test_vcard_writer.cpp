#include "exchange/ChineseName.h"
#include "exchange/PhoneNumber.h"
#include "exchange/vcard/VCardDate.h"
#include "exchange/vcard/VCardWriter.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QTest>

Q_DECLARE_METATYPE(QList<DraftExtra>)

namespace {

StoredContact contact(const QString& name)
{
    StoredContact c;
    c.texts[static_cast<int>(ContactText::Name)] = name;
    return c;
}

StoredContact with(StoredContact c, ContactText column, const QString& text)
{
    c.texts[static_cast<int>(column)] = text;
    return c;
}

QByteArray written(const QList<StoredContact>& contacts)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeVCards(buffer, contacts);
    return buffer.data();
}

// The unfolded content lines of the output, without BEGIN, VERSION and END,
// and without the phonetic names (test_vcard_phonetic checks those).
QList<QByteArray> properties(const QByteArray& file)
{
    QByteArray unfolded = file;
    unfolded.replace("\r\n ", "");
    QList<QByteArray> lines = unfolded.split('\n');
    QList<QByteArray> result;
    for (QByteArray& line : lines) {
        line.chop(line.endsWith('\r') ? 1 : 0);
        if (!line.isEmpty() && line != "BEGIN:VCARD" && line != "VERSION:3.0" && line != "END:VCARD"
            && !line.startsWith("X-PHONETIC-"))
            result.append(line);
    }
    return result;
}

}  // namespace

class VCardWriterTest : public QObject {
    Q_OBJECT
private slots:
    void shouldLiftWhatAnImportWroteIntoTheNote_data()
    {
        QTest::addColumn<QString>("note");
        QTest::addColumn<QList<DraftExtra>>("kept");
        QTest::addColumn<QList<QByteArray>>("wanted");
        QTest::newRow("labelled values") << u"老同学；邮箱:a@b.cn；手机:139 1234 5678；电话（老家）:0571-1"_qs
                                         << QList<DraftExtra>()
                                         << QList<QByteArray>{"NOTE:老同学", "EMAIL;TYPE=INTERNET:a@b.cn",
                                                              "TEL;TYPE=CELL:139 1234 5678", "item1.X-ABLabel:老家",
                                                              "item1.TEL;TYPE=VOICE:0571-1"};
        QTest::newRow("address parts") << u"邮编:100080；国家:中国；职务:经理；网址:http://a.cn；昵称:小张"_qs
                                       << QList<DraftExtra>()
                                       << QList<QByteArray>{"ADR;TYPE=HOME:;;北京市;;;100080;中国", "TITLE:经理",
                                                            "URL:http://a.cn", "NICKNAME:小张"};
        QTest::newRow("an unknown label stays in the note")
            << u"会议:周一；X-FOO:bar"_qs << QList<DraftExtra>() << QList<QByteArray>{"NOTE:会议:周一", "X-FOO:bar"};
        QTest::newRow("the whole texts kept aside")
            << u"姓名:张三丰的一个很长的名字；电话:+86 138 0013 8000 转 1"_qs
            << QList<DraftExtra>{{u"邮箱"_qs, u"kept@b.cn"_qs}}
            << QList<QByteArray>{"FN:张三丰的一个很长的名字", "TEL;TYPE=CELL:+86 138 0013 8000 转 1",
                                 "EMAIL;TYPE=INTERNET:kept@b.cn"};
        QTest::newRow("a company") << u"单位:张三丰的一个很长的"_qs << QList<DraftExtra>()
                                   << QList<QByteArray>{"FN:张三丰的一个很长的", "N:;;;;", "ORG:张三丰的一个很长的",
                                                        "X-ABShowAs:COMPANY"};
    }

    void shouldLiftWhatAnImportWroteIntoTheNote()
    {
        QFETCH(QString, note);
        QFETCH(QList<DraftExtra>, kept);
        QFETCH(QList<QByteArray>, wanted);
        StoredContact c = with(contact(u"张三丰的一个很长的"_qs), ContactText::Note, note);
        c = with(c, ContactText::Phone, u"+8613800138000"_qs);
        c = with(c, ContactText::Address, u"北京市"_qs);
        c.kept = kept;
        const QList<QByteArray> lines = properties(written({c}));
        for (const QByteArray& line : wanted)
            QVERIFY2(lines.contains(line), line + "\n" + lines.join('\n'));
        QVERIFY(!lines.join('\n').contains("NOTE:" + note.left(3).toUtf8()) || wanted.first().startsWith("NOTE"));
    }

    void shouldWriteEveryFieldAsItsProperty()
    {
        StoredContact c = contact(u"欧阳修"_qs);
        c = with(c, ContactText::Category, u"同学"_qs);
        c = with(c, ContactText::Birthday, u"1990年1月2日"_qs);
        c = with(c, ContactText::Phone, u"138 0013 8000"_qs);
        c = with(c, ContactText::QQ, u"10001"_qs);
        c = with(c, ContactText::Address, u"北京市海淀区"_qs);
        c = with(c, ContactText::Note, u"醉翁"_qs);
        c.photo = QByteArray("\xFF\xD8\xFF\xD9", 4);
        const QByteArray expected = "BEGIN:VCARD\r\n"
                                    "VERSION:3.0\r\n"
                                    "FN:欧阳修\r\n"
                                    "N:欧阳;修;;;\r\n"
                                    "X-PHONETIC-LAST-NAME:Ouyang\r\n"
                                    "X-PHONETIC-FIRST-NAME:Xiu\r\n"
                                    "TEL;TYPE=CELL:138 0013 8000\r\n"
                                    "X-QQ:10001\r\n"
                                    "BDAY:1990-01-02\r\n"
                                    "X-TESSALY-BIRTHDAY:1990年1月2日\r\n"
                                    "ADR;TYPE=HOME:;;北京市海淀区;;;;\r\n"
                                    "CATEGORIES:同学\r\n"
                                    "NOTE:醉翁\r\n"
                                    "PHOTO;ENCODING=b;TYPE=JPEG:/9j/2Q==\r\n"
                                    "END:VCARD\r\n";
        QCOMPARE(written({c}), expected);
    }

    void shouldWriteOnlyNameAndCardLinesForAnEmptyContact()
    {
        QCOMPARE(written({contact(QString())}),
                 QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\r\nN:;;;;\r\nEND:VCARD\r\n"));
        QCOMPARE(written({}), QByteArray());
    }

    void shouldSplitNamesIntoFamilyAndGiven_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("n");
        QTest::newRow("single surname") << u"张三丰"_qs << QByteArray("N:张;三丰;;;");
        QTest::newRow("compound surname") << u"司马相如"_qs << QByteArray("N:司马;相如;;;");
        QTest::newRow("compound surname alone is two names") << u"欧阳"_qs << QByteArray("N:欧;阳;;;");
        QTest::newRow("one character") << u"张"_qs << QByteArray("N:张;;;;");
        QTest::newRow("surrogate pair surname") << u"𠀋一"_qs << QByteArray("N:𠀋;一;;;");
        QTest::newRow("chinese with a blank") << u"欧阳 修"_qs << QByteArray("N:欧阳;修;;;");
        QTest::newRow("latin") << u"John Smith"_qs << QByteArray("N:Smith;John;;;");
        QTest::newRow("latin with middle name") << u"John Ronald Tolkien"_qs << QByteArray("N:Tolkien;John Ronald;;;");
        QTest::newRow("one latin word") << u"Madonna"_qs << QByteArray("N:;Madonna;;;");
        QTest::newRow("escaped") << u"O;Brien, Pat"_qs << QByteArray("N:Pat;O\\;Brien\\,;;;");
    }
    void shouldSplitNamesIntoFamilyAndGiven()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, n);
        QCOMPARE(properties(written({contact(name)})).value(1), n);
    }

    void shouldTypeChineseMobileNumbersAsCell_data()
    {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<bool>("mobile");
        QTest::newRow("plain") << u"13800138000"_qs << true;
        QTest::newRow("with +86") << u"+8613800138000"_qs << true;
        QTest::newRow("with +86 and blanks") << u"+86 138 0013 8000"_qs << true;
        QTest::newRow("with 0086") << u"0086-138-0013-8000"_qs << true;
        QTest::newRow("brackets and dots") << u"(138).0013.8000"_qs << true;
        QTest::newRow("landline") << u"010-62345678"_qs << false;
        QTest::newRow("ten digits") << u"1380013800"_qs << false;
        QTest::newRow("twelve digits") << u"138001380001"_qs << false;
        QTest::newRow("other country") << u"+1 202 555 0100"_qs << false;
        QTest::newRow("extension") << u"13800138000转1"_qs << false;
        QTest::newRow("plus in the middle") << u"138+00138000"_qs << false;
    }
    void shouldTypeChineseMobileNumbersAsCell()
    {
        QFETCH(QString, phone);
        QFETCH(bool, mobile);
        QCOMPARE(isChineseMobileNumber(phone), mobile);
        const QByteArray tel = properties(written({with(contact(u"甲"_qs), ContactText::Phone, phone)})).value(2);
        QCOMPARE(tel, QByteArray(mobile ? "TEL;TYPE=CELL:" : "TEL;TYPE=VOICE:") + phone.toUtf8());
    }

    void shouldWriteBirthdaysThatReadAsDates_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("date");
        QTest::newRow("dashes") << u"1990-01-02"_qs << u"1990-01-02"_qs;
        QTest::newRow("slashes, short") << u"1990/1/2"_qs << u"1990-01-02"_qs;
        QTest::newRow("dots") << u"1990.1.2"_qs << u"1990-01-02"_qs;
        QTest::newRow("eight digits") << u"19900102"_qs << u"1990-01-02"_qs;
        QTest::newRow("chinese") << u"1990年1月2日"_qs << u"1990-01-02"_qs;
        QTest::newRow("chinese without 日") << u"1990年12月31"_qs << u"1990-12-31"_qs;
        QTest::newRow("chinese with blanks") << u"1990 年 1 月 2 号"_qs << u"1990-01-02"_qs;
        QTest::newRow("full-width digits") << u"１９９０年１月２日"_qs << u"1990-01-02"_qs;
        QTest::newRow("full-width dash") << u"１９９０－１－２"_qs << QString();
        QTest::newRow("month and day") << u"1-2"_qs << u"--0102"_qs;
        QTest::newRow("month and day, chinese") << u"12月25日"_qs << u"--1225"_qs;
        QTest::newRow("leap day without year") << u"2/29"_qs << u"--0229"_qs;
        QTest::newRow("leap day in a leap year") << u"2000-02-29"_qs << u"2000-02-29"_qs;
        QTest::newRow("leap day in another year") << u"1999-02-29"_qs << QString();
        QTest::newRow("no such day") << u"1990-04-31"_qs << QString();
        QTest::newRow("no such month") << u"13/1"_qs << QString();
        QTest::newRow("mixed separators") << u"1990-1/2"_qs << QString();
        QTest::newRow("year alone") << u"1990"_qs << QString();
        QTest::newRow("words") << u"农历八月十五"_qs << QString();
        QTest::newRow("trailing text") << u"1990-01-02左右"_qs << QString();
    }
    void shouldWriteBirthdaysThatReadAsDates()
    {
        QFETCH(QString, typed);
        QFETCH(QString, date);
        QCOMPARE(birthdayAsVCardDate(typed), date);
        QList<QByteArray> expected;
        if (!date.isEmpty())
            expected << "BDAY:" + date.toLatin1();
        expected << "X-TESSALY-BIRTHDAY:" + typed.toUtf8();
        QCOMPARE(properties(written({with(contact(u"甲"_qs), ContactText::Birthday, typed)})).mid(2), expected);
    }

    void shouldEscapeTextValues_data()
    {
        QTest::addColumn<QString>("note");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("comma") << u"甲,乙"_qs << QByteArray("NOTE:甲\\,乙");
        QTest::newRow("semicolon") << u"a;b"_qs << QByteArray("NOTE:a\\;b");
        QTest::newRow("backslash") << u"C:\\new"_qs << QByteArray("NOTE:C:\\\\new");
        QTest::newRow("line feed") << u"一\n二"_qs << QByteArray("NOTE:一\\n二");
        QTest::newRow("CRLF is one break") << u"一\r\n二"_qs << QByteArray("NOTE:一\\n二");
        QTest::newRow("colon stays") << u"时间:三点"_qs << QByteArray("NOTE:时间:三点");
    }
    void shouldEscapeTextValues()
    {
        QFETCH(QString, note);
        QFETCH(QByteArray, line);
        QCOMPARE(properties(written({with(contact(u"甲"_qs), ContactText::Note, note)})).value(2), line);
    }

    void shouldEscapeEveryStructuredPart()
    {
        const QList<QByteArray> lines =
            properties(written({with(with(contact(u"甲"_qs), ContactText::Address, u"一路;二号,三楼"_qs),
                                     ContactText::Category, u"朋友,同学"_qs)}));
        QCOMPARE(lines.value(2), QByteArray("ADR;TYPE=HOME:;;一路\\;二号\\,三楼;;;;"));
        QCOMPARE(lines.value(3), QByteArray("CATEGORIES:朋友\\,同学"));
    }

    void shouldFoldAt75OctetsWithoutSplittingUtf8_data()
    {
        QTest::addColumn<QString>("note");
        const QString chinese = QString(u"醉翁之意不在酒在乎山水之间也"_qs).repeated(8);
        for (int shift = 0; shift < 3; ++shift)
            QTest::addRow("chinese, shifted by %d", shift) << QString(shift, QLatin1Char('a')) + chinese;
        QTest::newRow("four-octet characters") << QString(u"𠀋𠀌𠀍"_qs).repeated(30);
        QTest::newRow("ascii") << QString(200, QLatin1Char('x'));
        QTest::newRow("exactly 75") << QString(70, QLatin1Char('x'));
        QTest::newRow("escapes at the fold") << QString(u",;\\\n"_qs).repeated(40);
    }
    void shouldFoldAt75OctetsWithoutSplittingUtf8()
    {
        QFETCH(QString, note);
        StoredContact c = with(contact(u"甲"_qs), ContactText::Note, note);
        c.photo = QByteArray(3000, '\x5A');
        const QByteArray file = written({c});
        QVERIFY(file.endsWith("\r\n"));
        const QList<QByteArray> physical = file.chopped(1).split('\n');
        for (QByteArray line : physical) {
            QVERIFY2(line.endsWith('\r'), "every line ends in CRLF");
            line.chop(1);
            QVERIFY2(line.size() <= 75, line.constData());
            QStringDecoder utf8(QStringDecoder::Utf8);
            (void)QString(utf8.decode(line));
            QVERIFY2(!utf8.hasError(), "a physical line is whole UTF-8");
        }
        const QByteArray noteLine =
            "NOTE:" + note.toUtf8().replace('\\', "\\\\").replace(',', "\\,").replace(';', "\\;").replace('\n', "\\n");
        QVERIFY(properties(file).contains(noteLine));
        QVERIFY(properties(file).contains("PHOTO;ENCODING=b;TYPE=JPEG:" + c.photo.toBase64()));
        const qsizetype noteEnd = file.indexOf("\r\n", file.indexOf("NOTE:"));
        QCOMPARE(file.at(noteEnd + 2) == ' ', noteLine.size() > 75);
    }

    void shouldRefuseADeviceThatTakesNoBytes()
    {
        QBuffer buffer;
        buffer.open(QIODevice::ReadOnly);
        QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): ReadOnly device");
        QVERIFY_THROWS_EXCEPTION(ExchangeError, writeVCards(buffer, {contact(u"甲"_qs)}));
    }
};

QTEST_GUILESS_MAIN(VCardWriterTest)
#include "test_vcard_writer.moc"
