#include "exchange/ChineseName.h"
#include "exchange/PhoneNumber.h"
#include "exchange/vcard/VCardDate.h"
#include "exchange/vcard/VCardWriter.h"
#include "store/ContactSchema.h"
#include "tests/support/TestFolder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
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

// A contact described in JSON by the book's column names.
StoredContact describedContact(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(json, &error).object();
    if (error.error != QJsonParseError::NoError)
        qFatal("contact description: %s", qPrintable(error.errorString()));
    StoredContact c;
    for (const QString& key : object.keys()) {
        const qsizetype column = ContactTextColumns().indexOf(key);
        if (column >= 0)
            c.texts[static_cast<size_t>(column)] = object.value(key).toString();
        else if (key == PhotoColumn())
            c.photo = QByteArray::fromBase64(object.value(key).toString().toLatin1());
        else
            qFatal("contact description: no column %s", qPrintable(key));
    }
    return c;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
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
        QTest::newRow("a label the card would read otherwise stays in the note")
            << u"TEL:1；BEGIN:VCARD；X-TESSALY-BIRTHDAY:2"_qs << QList<DraftExtra>()
            << QList<QByteArray>{"NOTE:TEL:1；BEGIN:VCARD；X-TESSALY-BIRTHDAY:2"};
        QTest::newRow("a lunar birthday") << u"农历生日:农历1985年四月初二"_qs << QList<DraftExtra>()
                                          << QList<QByteArray>{"X-ALTBDAY;CALSCALE=chinese:007800020402"};
        QTest::newRow("the whole texts kept aside")
            << u"姓名:张三丰的一个很长的名字；电话:+86 138 0013 8000 转 1"_qs
            << QList<DraftExtra>{{u"邮箱"_qs, u"kept@b.cn"_qs}}
            << QList<QByteArray>{"FN:张三丰的一个很长的名字", "TEL;TYPE=CELL:+86 138 0013 8000 转 1",
                                 "EMAIL;TYPE=INTERNET:kept@b.cn"};
        QTest::newRow("the kinds of the columns' values")
            << u"电话类别:工作电话；地址类别:工作"_qs << QList<DraftExtra>()
            << QList<QByteArray>{"TEL;TYPE=WORK:+8613800138000", "ADR;TYPE=WORK:;;北京市;;;;"};
        QTest::newRow("a number under a spreadsheet's word")
            << u"商务电话:010-1；家庭电话:010-2"_qs << QList<DraftExtra>()
            << QList<QByteArray>{"item1.X-ABLabel:商务电话", "item1.TEL;TYPE=WORK:010-1", "item2.X-ABLabel:家庭电话",
                                 "item2.TEL;TYPE=HOME:010-2"};
        QTest::newRow("a department beside the company")
            << u"单位:顺丰速运；部门:华北区；部门:快递部"_qs << QList<DraftExtra>()
            << QList<QByteArray>{"ORG:顺丰速运;华北区;快递部"};
        QTest::newRow("titles") << u"称谓:Mr.；称谓:Jr."_qs << QList<DraftExtra>()
                                << QList<QByteArray>{"N:张;三丰的一个很长的;;Mr.;Jr."};
        QTest::newRow("a social profile")
            << u"社交账号（twitter）:https://twitter.com/a"_qs << QList<DraftExtra>()
            << QList<QByteArray>{"item1.X-ABLabel:twitter", "item1.X-SOCIALPROFILE:https://twitter.com/a"};
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

    // Each contact described in vcard-writer/<case>.json comes out as the bytes
    // of vcard-writer/<case>.ref. A description names the book's columns
    // (类别, 姓名, ..., 备注) and gives the photo column's bytes in base64.
    void shouldWriteEachDescribedContactAsItsReference_data()
    {
        QTest::addColumn<QString>("stem");
        const QDir cases(TestFolder::sourcePath(QStringLiteral(VCARD_WRITER_DATA)));
        const QStringList descriptions = cases.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
        QVERIFY(!descriptions.isEmpty());
        for (const QString& description : descriptions) {
            const QString stem = cases.filePath(QFileInfo(description).completeBaseName());
            QTest::newRow(qPrintable(QFileInfo(description).completeBaseName())) << stem;
        }
    }
    void shouldWriteEachDescribedContactAsItsReference()
    {
        QFETCH(QString, stem);
        const StoredContact c = describedContact(fileBytes(stem + u".json"_qs));
        // Line by line, so a failure names the first line that differs; the
        // line ends stay on the lines, so CRLF is compared too.
        QCOMPARE(written({c}).split('\n'), fileBytes(stem + u".ref"_qs).split('\n'));
    }

    // A number is written unescaped: a bare CR in it would end the line for
    // a reader, and what follows would start a property of its own.
    void shouldWriteEachLineBreakInANumberAsABlank_data()
    {
        QTest::addColumn<QString>("phone");
        QTest::newRow("CR") << u"1\rBEGIN:VCARD"_qs;
        QTest::newRow("LF") << u"1\nBEGIN:VCARD"_qs;
        QTest::newRow("CR LF") << u"1\r\nBEGIN:VCARD"_qs;
    }
    void shouldWriteEachLineBreakInANumberAsABlank()
    {
        QFETCH(QString, phone);
        const QByteArray file = written({with(contact(u"甲"_qs), ContactText::Phone, phone)});
        QVERIFY2(properties(file).contains("TEL;TYPE=VOICE:1 BEGIN:VCARD"), file.constData());
        QVERIFY(!file.contains("\rBEGIN") && !file.contains("\nBEGIN"));
    }

    void shouldWriteNothingForNoContacts() { QCOMPARE(written({}), QByteArray()); }

    void shouldTellChineseMobileNumbers_data()
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
    void shouldTellChineseMobileNumbers()
    {
        QFETCH(QString, phone);
        QFETCH(bool, mobile);
        QCOMPARE(isChineseMobileNumber(phone), mobile);
    }

    void shouldReadBirthdaysAsDates_data()
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
        QTest::newRow("full-width dash") << u"１９９０－１－２"_qs << u"1990-01-02"_qs;
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
    void shouldReadBirthdaysAsDates()
    {
        QFETCH(QString, typed);
        QFETCH(QString, date);
        QCOMPARE(birthdayAsVCardDate(typed), date);
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
