#include "exchange/ChineseName.h"
#include "exchange/vcard/VCardDate.h"
#include "exchange/vcard/VCardReader.h"
#include "exchange/vcard/VCardWriter.h"
#include "platform/Gbk.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestRandom.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

namespace {

// 类别 姓名 生日 电话 QQ 地址 备注
QStringList textsOf(const ContactDraft& draft)
{
    return QStringList(draft.texts.begin(), draft.texts.end());
}

QStringList extrasOf(const ContactDraft& draft)
{
    QStringList list;
    for (const DraftExtra& e : draft.extras)
        list << e.label + QLatin1Char(':') + e.value;
    return list;
}

QByteArray sample(const char* name)
{
    QFile file(TestFolder::sourcePath(QStringLiteral(VCARD_SAMPLES "/%1").arg(QLatin1String(name))));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing sample %s", name);
    return file.readAll();
}

// One card around the given lines, CRLF ends.
QByteArray card(const QByteArray& version, const QByteArray& lines)
{
    return "BEGIN:VCARD\r\nVERSION:" + version + "\r\n" + lines + "END:VCARD\r\n";
}

ContactDraft only(const QByteArray& bytes)
{
    const DraftSet set = readVCards(bytes);
    if (set.drafts.size() != 1 || !set.failures.isEmpty())
        qFatal("expected one readable card, got %lld drafts and %lld failures",
               static_cast<long long>(set.drafts.size()), static_cast<long long>(set.failures.size()));
    return set.drafts.first();
}

StoredContact stored(const QStringList& texts, const QByteArray& photo = QByteArray())
{
    StoredContact c;
    for (int i = 0; i < ContactTextCount; ++i)
        c.texts[i] = texts.value(i);
    c.photo = photo;
    return c;
}

}  // namespace

class VCardReaderTest : public QObject {
    Q_OBJECT
private slots:
    void shouldGiveBackWhatTheWriterWrote_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QByteArray>("photo");
        QByteArray photo(20000, Qt::Uninitialized);
        QRandomGenerator random = SeededRandom("photo bytes", 20261208);
        for (char& b : photo)
            b = static_cast<char>(random.bounded(256));
        QTest::newRow("full") << QStringList{u"同学"_qs,          u"欧阳修"_qs, u"1990年1月2日"_qs,
                                             u"138-0013-8000"_qs, u"10001"_qs,  u"北京市海淀区中关村大街27号"_qs,
                                             u"醉翁之意不在酒"_qs}
                              << photo;
        QTest::newRow("empty") << QStringList(7) << QByteArray();
        QTest::newRow("special characters") << QStringList{u"朋友,同学"_qs,
                                                           u"O'Brien; Pat"_qs,
                                                           u"农历八月十五"_qs,
                                                           u"010-1234;5678"_qs,
                                                           u"a\\b"_qs,
                                                           u"一路;二号,三楼"_qs,
                                                           u"第一行\n第二行\\n不是换行, 完"_qs}
                                            << QByteArray("\r\n\0END:VCARD", 12);
        QTest::newRow("a number with a backslash")
            << QStringList{QString(), u"张三"_qs, QString(), u"1\\2\\\\3\\,4\\n5"_qs, QString(), QString(), QString()}
            << QByteArray();
        QTest::newRow("birthday without year")
            << QStringList{QString(), u"张三"_qs, u"1-2"_qs, QString(), QString(), QString(), QString()}
            << QByteArray();
        QTest::newRow("long texts") << QStringList{QString(),
                                                   u"Johann Sebastian Bach"_qs,
                                                   QString(),
                                                   QString(),
                                                   QString(),
                                                   QString(u"很长的地址"_qs).repeated(20),
                                                   QString(u"𠀋很长的备注。"_qs).repeated(40)}
                                    << QByteArray(1, '\0');
    }
    void shouldGiveBackWhatTheWriterWrote()
    {
        QFETCH(QStringList, texts);
        QFETCH(QByteArray, photo);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        writeVCards(buffer, {stored(texts, photo), stored(texts)});
        const DraftSet set = readVCards(buffer.data());
        QCOMPARE(set.failures.size(), 0);
        QCOMPARE(set.drafts.size(), 2);
        QCOMPARE(textsOf(set.drafts[0]), texts);
        QCOMPARE(set.drafts[0].photo, photo);
        QCOMPARE(set.drafts[0].extras.size(), 0);
        QCOMPARE(set.drafts[0].leftOut, QStringList());
        QCOMPARE(textsOf(set.drafts[1]), texts);
        QVERIFY(set.drafts[1].photo.isEmpty());
        QCOMPARE(set.drafts[0].line, 1);
    }

    void shouldReadAnAndroidVersion21File()
    {
        const DraftSet set = readVCards(sample("android21.vcf"));
        QCOMPARE(set.failures.size(), 0);
        QCOMPARE(set.drafts.size(), 2);
        const ContactDraft& ouyang = set.drafts[0];
        QCOMPARE(textsOf(ouyang), (QStringList{QString(), u"欧阳修"_qs, u"1007-08-01"_qs, u"138-0013-8000"_qs,
                                               u"10001"_qs, u"北京市海淀区中关村大街二十七号院中关村科技大厦"_qs,
                                               u"醉翁之意不在酒\r\n在乎山水之间也"_qs}));
        QCOMPARE(extrasOf(ouyang), (QStringList{u"住宅电话:010-6234 5678"_qs, u"邮箱:ouyang@example.com"_qs}));
        QCOMPARE(ouyang.photo, sample("photo.bin"));
        const ContactDraft& li = set.drafts[1];
        QCOMPARE(li.line, 34);
        QCOMPARE(li.text(ContactText::Name), u"李白"_qs);            // N in GBK, no FN
        QCOMPARE(li.text(ContactText::Phone), u"028-8765 4321"_qs);  // PREF before CELL
        QCOMPARE(extrasOf(li), (QStringList{u"电话类别:工作电话"_qs, u"手机:13912345678"_qs}));
    }

    void shouldReadAnIosVersion30File()
    {
        const ContactDraft d = only(sample("ios30.vcf"));
        QCOMPARE(textsOf(d),
                 (QStringList{u"同事"_qs, u"诸葛亮"_qs, u"04-15"_qs, u"+86 139 1234 5678"_qs, u"20002"_qs,
                              u"四川省成都市武侯祠大街231号"_qs, u"鞠躬尽瘁,死而后已\n出师表; 前后两篇"_qs}));
        QCOMPARE(extrasOf(d),
                 (QStringList{u"单位:蜀汉"_qs, u"部门:丞相府"_qs, u"住宅电话:028-1234 5678"_qs,
                              u"邮箱:kongming@example.com"_qs, u"邮编:610041"_qs, u"国家:中国"_qs, u"类别:蜀汉"_qs}));
        QCOMPARE(d.photo, sample("photo.bin"));
        QCOMPARE(d.leftOut, QStringList());
    }

    void shouldReadAVersion40File()
    {
        const ContactDraft d = only(sample("v40.vcf"));
        QCOMPARE(textsOf(d), (QStringList{QString(), u"司马 迁"_qs, u"12-25"_qs, u"+86-135-0000-1111"_qs, u"30003"_qs,
                                          u"陕西省西安市太史公路1号"_qs, u"史家之绝唱"_qs}));
        QCOMPARE(extrasOf(d), QStringList{u"住宅电话:+86-29-8888-7777"_qs});
        QCOMPARE(d.photo, sample("photo.bin"));
    }

    void shouldReadTheCharacterSetsOfChinesePhones_data()
    {
        QTest::addColumn<QByteArray>("line");
        const QByteArray gbk = toGbk(u"王𠀋昭君"_qs);
        QByteArray qp;
        for (const char c : gbk)
            qp += '=' + QByteArray::number(static_cast<unsigned char>(c), 16).toUpper();
        const QByteArray utf8 = u"王𠀋昭君"_qs.toUtf8();
        QTest::newRow("GB2312 quoted-printable") << "FN;CHARSET=GB2312;ENCODING=QUOTED-PRINTABLE:" + qp;
        QTest::newRow("GBK quoted-printable") << "FN;CHARSET=GBK;ENCODING=QUOTED-PRINTABLE:" + qp;
        QTest::newRow("GB18030 bare parameters") << "FN;CHARSET=gb18030;QUOTED-PRINTABLE:" + qp;
        QTest::newRow("GBK eight-bit") << "FN;CHARSET=GBK:" + gbk;
        QTest::newRow("GBK undeclared") << "FN:" + gbk;
        QTest::newRow("UTF-8 declared") << "FN;CHARSET=UTF-8:" + utf8;
        QTest::newRow("UTF-8 declared as GBK") << "FN;CHARSET=GBK:" + utf8;
        QTest::newRow("UTF-8 undeclared") << "FN:" + utf8;
        QTest::newRow("GBK in base64") << "FN;ENCODING=BASE64;CHARSET=GBK:" + gbk.toBase64();
    }
    void shouldReadTheCharacterSetsOfChinesePhones()
    {
        QFETCH(QByteArray, line);
        const ContactDraft d = only(card("2.1", line + "\r\n"));
        QCOMPARE(d.text(ContactText::Name), u"王𠀋昭君"_qs);
        QCOMPARE(d.leftOut, QStringList());
    }

    void shouldSayWhenTheDeclaredCharsetWasNotFollowed_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("said");
        const QByteArray utf8 = u"张三"_qs.toUtf8();
        QTest::newRow("UTF-8 declared as GB2312")
            << "FN;CHARSET=GB2312:" + utf8 << u"姓名：声明为 GB2312，实为 UTF-8，已按 UTF-8 读取"_qs;
        QTest::newRow("UTF-8 declared as Big5")
            << "FN;CHARSET=Big5:" + utf8 << u"姓名：声明为 BIG5，实为 UTF-8，已按 UTF-8 读取"_qs;
        QTest::newRow("GBK declared as Shift_JIS") << "FN;CHARSET=ISO-2022-JP:" + QByteArray("\xD5\xC5\xC8\xFD")
                                                   << u"姓名：ISO-2022-JP 无法读取，已按 GB18030 读取"_qs;
        QTest::newRow("GBK as declared") << "FN;CHARSET=GBK:" + QByteArray("\xD5\xC5\xC8\xFD") << QString();
    }

    void shouldSayWhenTheDeclaredCharsetWasNotFollowed()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, said);
        const ContactDraft d = only(card("2.1", line + "\r\n"));
        QCOMPARE(d.text(ContactText::Name), u"张三"_qs);
        QCOMPARE(d.said, said.isEmpty() ? QStringList() : QStringList{said});
    }

    void shouldSayWhenBytesCannotBeRead()
    {
        const ContactDraft d = only(card("3.0", "FN:\xFF\xFF\x80\r\nNOTE:\xFF\r\n"));
        QCOMPARE(d.leftOut.size(), 2);
        QVERIFY(d.leftOut[0].startsWith(u"姓名"_qs));
        QVERIFY(d.leftOut[1].startsWith(u"备注"_qs));
        QVERIFY(d.text(ContactText::Name).contains(QChar(0xFFFD)));
    }

    void shouldTakeThePreferredPhone_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QStringList>("others");
        QTest::newRow("first when none is marked") << QByteArray("TEL;TYPE=HOME:1\r\nTEL;TYPE=WORK:2\r\n") << u"1"_qs
                                                   << QStringList{u"电话类别:住宅电话"_qs, u"工作电话:2"_qs};
        QTest::newRow("cell before the first")
            << QByteArray("TEL;TYPE=HOME:1\r\nTEL;TYPE=CELL:2\r\nTEL:3\r\n") << u"2"_qs
            << QStringList{u"住宅电话:1"_qs, u"电话类别:手机"_qs, u"电话:3"_qs};
        QTest::newRow("pref before cell") << QByteArray("TEL;TYPE=CELL:1\r\nTEL;TYPE=HOME,PREF:2\r\n") << u"2"_qs
                                          << QStringList{u"手机:1"_qs, u"电话类别:住宅电话"_qs};
        QTest::newRow("bare 2.1 parameters") << QByteArray("TEL;HOME:1\r\nTEL;CELL;PREF:2\r\n") << u"2"_qs
                                             << QStringList{u"住宅电话:1"_qs, u"电话类别:手机"_qs};
        QTest::newRow("quoted type list") << QByteArray("TEL;TYPE=\"home,voice\":1\r\nTEL;TYPE=\"voice,cell\":2\r\n")
                                          << u"2"_qs << QStringList{u"住宅电话:1"_qs, u"电话类别:手机"_qs};
        QTest::newRow("lowest PREF wins")
            << QByteArray("TEL;PREF=2:1\r\nTEL;PREF=1;VALUE=uri:tel:2\r\n") << u"2"_qs << QStringList{u"电话:1"_qs};
        QTest::newRow("tel: is text without VALUE=uri") << QByteArray("TEL:tel:2\r\n") << u"tel:2"_qs << QStringList();
        QTest::newRow("custom labels name the extras")
            << QByteArray("TEL;TYPE=CELL:1\r\nitem1.TEL:2\r\nITEM1.X-ABLabel:老家\r\nitem2.TEL:3\r\n"
                          "item2.X-ABLabel:_$!<Home>!$_\r\n")
            << u"1"_qs << QStringList{u"电话类别:手机"_qs, u"电话（老家）:2"_qs, u"住宅电话:3"_qs};
        QTest::newRow("empty numbers are none") << QByteArray("TEL;PREF=1:\r\nTEL:2\r\n") << u"2"_qs << QStringList();
    }
    void shouldTakeThePreferredPhone()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, phone);
        QFETCH(QStringList, others);
        const ContactDraft d = only(card("3.0", lines));
        QCOMPARE(d.text(ContactText::Phone), phone);
        QCOMPARE(extrasOf(d), others);
    }

    void shouldPutTheNameTogetherWhenThereIsNoFullName_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("extras");
        QTest::newRow("chinese parts") << QByteArray("N:欧阳;修;;;\r\n") << u"欧阳修"_qs << QStringList();
        QTest::newRow("latin parts") << QByteArray("N:Smith;John;;;\r\n") << u"Smith John"_qs << QStringList();
        QTest::newRow("with a middle name")
            << QByteArray("N:Bach;Johann;Sebastian\r\n") << u"Bach Johann Sebastian"_qs << QStringList();
        QTest::newRow("given only") << QByteArray("N:;Madonna;;;\r\n") << u"Madonna"_qs << QStringList();
        QTest::newRow("prefix kept as an extra")
            << QByteArray("N:王;小明;;Dr.;\r\n") << u"王小明"_qs << QStringList{u"称谓:Dr."_qs};
        QTest::newRow("empty full name") << QByteArray("FN:\r\nN:张;三\r\n") << u"张三"_qs << QStringList();
        QTest::newRow("blank full name") << QByteArray("FN:  \r\nN:张; ;三\r\n") << u"张三"_qs << QStringList();
        QTest::newRow("full name wins, the title kept")
            << QByteArray("N:Smith;John;;Mr.;\r\nFN:John Smith\r\n") << u"John Smith"_qs << QStringList{u"称谓:Mr."_qs};
        QTest::newRow("escaped parts") << QByteArray("N:O\\;Neil;Pat\\,Jr\r\n") << u"O;Neil Pat,Jr"_qs << QStringList();
    }
    void shouldPutTheNameTogetherWhenThereIsNoFullName()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, name);
        QFETCH(QStringList, extras);
        const ContactDraft d = only(card("3.0", lines));
        QCOMPARE(d.text(ContactText::Name), name);
        QCOMPARE(extrasOf(d), extras);
    }

    void shouldReadBirthdays_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("birthday");
        QTest::newRow("date") << QByteArray("BDAY:1990-01-02\r\n") << u"1990-01-02"_qs;
        QTest::newRow("basic date") << QByteArray("BDAY:19900102\r\n") << u"1990-01-02"_qs;
        QTest::newRow("with a time") << QByteArray("BDAY:1990-01-02T00:00:00Z\r\n") << u"1990-01-02"_qs;
        QTest::newRow("no year") << QByteArray("BDAY:--0102\r\n") << u"01-02"_qs;
        QTest::newRow("no year, dashed") << QByteArray("BDAY:--01-02\r\n") << u"01-02"_qs;
        QTest::newRow("placeholder year") << QByteArray("BDAY;X-APPLE-OMIT-YEAR=1604:1604-02-29\r\n") << u"02-29"_qs;
        QTest::newRow("real year beside a placeholder")
            << QByteArray("BDAY;X-APPLE-OMIT-YEAR=1604:1985-02-28\r\n") << u"1985-02-28"_qs;
        QTest::newRow("text kept") << QByteArray("BDAY;VALUE=text:circa 1800\r\n") << u"circa 1800"_qs;
        QTest::newRow("impossible date kept") << QByteArray("BDAY:1990-02-30\r\n") << u"1990-02-30"_qs;
        QTest::newRow("typed text wins") << QByteArray("BDAY:1990-01-02\r\nX-TESSALY-BIRTHDAY:1990年1月2日\r\n")
                                         << u"1990年1月2日"_qs;
    }
    void shouldReadBirthdays()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, birthday);
        const ContactDraft d = only(card("3.0", lines));
        QCOMPARE(d.text(ContactText::Birthday), birthday);
        QCOMPARE(d.extras.size(), 0);
    }

    // Lunar birthdays as Apple's address books write them; beside another
    // birthday the lunar one is kept under its label.
    void shouldReadLunarBirthdays_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("birthday");
        QTest::addColumn<QStringList>("extras");
        QTest::newRow("with its year") << QByteArray("X-ALTBDAY;CALSCALE=chinese:007800310318\r\n")
                                       << u"农历2014年三月十八"_qs << QStringList();
        QTest::newRow("leap month") << QByteArray("X-ALTBDAY;CALSCALE=chinese:0078003704L02\r\n")
                                    << u"农历2020年闰四月初二"_qs << QStringList();
        QTest::newRow("without its year")
            << QByteArray("X-ALTBDAY;CALSCALE=CHINESE:--0815\r\n") << u"农历八月十五"_qs << QStringList();
        QTest::newRow("leap month without its year")
            << QByteArray("X-ALTBDAY;CALSCALE=chinese:--04L30\r\n") << u"农历闰四月三十"_qs << QStringList();
        QTest::newRow("beside a Gregorian one")
            << QByteArray("BDAY:1985-05-21\r\nX-ALTBDAY;CALSCALE=chinese:007800020402\r\n") << u"1985-05-21"_qs
            << QStringList{u"农历生日:农历1985年四月初二"_qs};
        QTest::newRow("before a Gregorian one")
            << QByteArray("X-ALTBDAY;CALSCALE=chinese:--0815\r\nBDAY;X-APPLE-OMIT-YEAR=1604:1604-09-01\r\n")
            << u"09-01"_qs << QStringList{u"农历生日:农历八月十五"_qs};
        QTest::newRow("the typed text says the same day")
            << QByteArray("X-ALTBDAY;CALSCALE=chinese:--0815\r\nX-TESSALY-BIRTHDAY:阴历8月15日\r\n")
            << u"阴历8月15日"_qs << QStringList();
        QTest::newRow("another calendar kept as it is") << QByteArray("X-ALTBDAY;CALSCALE=hebrew:-57500101\r\n")
                                                        << QString() << QStringList{u"X-ALTBDAY:-57500101"_qs};
        QTest::newRow("a day the year has not, kept as it is")
            << QByteArray("X-ALTBDAY;CALSCALE=chinese:007800430230\r\n") << QString()
            << QStringList{u"X-ALTBDAY:007800430230"_qs};
    }
    void shouldReadLunarBirthdays()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, birthday);
        QFETCH(QStringList, extras);
        const ContactDraft d = only(card("3.0", "FN:甲\r\n" + lines));
        QCOMPARE(d.text(ContactText::Birthday), birthday);
        QCOMPARE(extrasOf(d), extras);
    }

    // A lunar birthday kept beside the 生日 goes out as the card's one
    // X-ALTBDAY while the 生日 is not lunar itself, and comes back kept.
    void shouldGiveBackALunarBirthdayKeptBeside_data()
    {
        QTest::addColumn<QString>("birthday");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<bool>("asALunarBirthday");  // else in the note
        QTest::newRow("beside a Gregorian one") << u"1990-05-01"_qs << u"农历1990年四月初七"_qs << true;
        QTest::newRow("beside one not understood") << u"五月初"_qs << u"农历八月十五"_qs << true;
        QTest::newRow("beside another lunar one") << u"闰四月初二"_qs << u"农历八月十五"_qs << false;
    }
    void shouldGiveBackALunarBirthdayKeptBeside()
    {
        QFETCH(QString, birthday);
        QFETCH(QString, kept);
        QFETCH(bool, asALunarBirthday);
        StoredContact c = stored({QString(), u"甲"_qs, birthday});
        c.kept = {{u"农历生日"_qs, kept}};
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        writeVCards(buffer, {c});
        QCOMPARE(buffer.data().count("X-ALTBDAY"), 1);  // the one a card has
        const ContactDraft d = only(buffer.data());
        QCOMPARE(d.text(ContactText::Birthday), birthday);
        const QString labelled = u"农历生日:"_qs + kept;
        QCOMPARE(extrasOf(d), asALunarBirthday ? QStringList{labelled} : QStringList());
        QCOMPARE(d.text(ContactText::Note), asALunarBirthday ? QString() : labelled);
    }

    void shouldKeepFurtherFieldsAsExtras()
    {
        const ContactDraft d =
            only(card("3.0", "FN:甲\r\nEMAIL:a@example.com\r\nEMAIL;TYPE=WORK:b@example.com\r\n"
                             "NOTE:一\r\nNOTE:二\r\nCATEGORIES:myContacts,朋友,同学\\,校友\r\nCATEGORIES: "
                             "\r\nURL:http://example.com/a\\,b\r\n"
                             "X-QQ:1\r\nIMPP:qq:2\r\nIMPP:xmpp:a@example.com\r\nTITLE:经理\r\n"
                             "ADR:;;二路;;;;\r\nADR;TYPE=pref:;;一路;;;;\r\nX-CUSTOM;A=B:自定义\r\n"
                             "item1.X-ABLabel:_$!<Other>!$_\r\nUID:123\r\nREV:20240101T000000Z\r\n"
                             "X-ANDROID-CUSTOM:vnd.android.cursor.item/nickname;小明;1;;;;;;;;;;;;;\r\n"
                             "X-ANDROID-CUSTOM:vnd.example/kind;a;;b;;\r\n"));
        QCOMPARE(textsOf(d), (QStringList{u"朋友"_qs, u"甲"_qs, QString(), QString(), u"1"_qs, u"一路"_qs, u"一"_qs}));
        QCOMPARE(extrasOf(d),
                 (QStringList{u"邮箱:a@example.com"_qs, u"邮箱:b@example.com"_qs, u"备注:二"_qs, u"类别:同学,校友"_qs,
                              u"网址:http://example.com/a,b"_qs, u"QQ:2"_qs, u"即时通讯:xmpp:a@example.com"_qs,
                              u"职务:经理"_qs, u"地址:二路"_qs, u"X-CUSTOM:自定义"_qs, u"昵称:小明"_qs,
                              u"X-ANDROID-CUSTOM:vnd.example/kind;a;b"_qs}));
    }

    void shouldLeaveOutWhatHasNoPlaceAndSaySo_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("said");
        QTest::newRow("photo by uri") << QByteArray("PHOTO;VALUE=uri:http://example.com/a.jpg\r\n")
                                      << u"照片：以链接给出（http://example.com/a.jpg），未导入"_qs;
        QTest::newRow("damaged base64") << QByteArray("PHOTO;ENCODING=b:/9j/*AAA\r\n")
                                        << u"照片：base64 数据已损坏，未导入"_qs;
        QTest::newRow("data uri without base64")
            << QByteArray("PHOTO:data:image/jpeg,abc\r\n") << u"照片：data 链接无法读取，未导入"_qs;
        QTest::newRow("second photo") << QByteArray("PHOTO;ENCODING=b:/9j/\r\nPHOTO;ENCODING=b:/9j/\r\n")
                                      << u"又一张照片：未导入"_qs;
        QTest::newRow("sound") << QByteArray("SOUND;ENCODING=b:AAAA\r\n") << u"SOUND：未导入"_qs;
    }
    void shouldLeaveOutWhatHasNoPlaceAndSaySo()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, said);
        const ContactDraft d = only(card("3.0", "FN:甲\r\n" + lines));
        QCOMPARE(d.leftOut, QStringList{said});
    }

    void shouldReadTheSameCardWhateverItsLineEnds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray crlf = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:欧阳\r\n 修\r\nNOTE:一\\n\r\n\t二\r\nEND:VCARD\r\n";
        QByteArray lf = crlf;
        lf.replace("\r\n", "\n");
        QByteArray cr = crlf;
        cr.replace("\r\n", "\r");
        QTest::newRow("CRLF") << crlf;
        QTest::newRow("LF") << lf;
        QTest::newRow("CR") << cr;
        QTest::newRow("byte order mark") << "\xEF\xBB\xBF" + crlf;
        QTest::newRow("UTF-16 little endian")
            << QByteArray("\xFF\xFE")
                   + QByteArray(reinterpret_cast<const char*>(QString::fromUtf8(crlf).utf16()), crlf.size() * 2)
                         .left(QString::fromUtf8(crlf).size() * 2);
        QTest::newRow("lower case markers")
            << QByteArray(crlf).replace("BEGIN:VCARD", "begin:vcard").replace("END:VCARD", "End:vCard");
        QTest::newRow("blank lines between")
            << "\r\n\r\n" + QByteArray(crlf).replace("VERSION:3.0\r\n", "VERSION:3.0\r\n\r\n");
    }
    void shouldReadTheSameCardWhateverItsLineEnds()
    {
        QFETCH(QByteArray, bytes);
        const ContactDraft d = only(bytes);
        QCOMPARE(d.text(ContactText::Name), u"欧阳修"_qs);
        QCOMPARE(d.text(ContactText::Note), u"一\n二"_qs);
    }

    // A file read in pieces reads as its bytes read whole, wherever a piece ends (pieces are 1 MB).
    void shouldReadAFileInPiecesAsWhole_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("card");
        const QByteArray crlf = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:欧阳\r\n 修\r\nNOTE:一\\n\r\n\t二\r\nTEL:1\r\n"
                                "EMAIL:a@b.cn\r\nEND:VCARD\r\n";
        QTest::newRow("CRLF") << QByteArray() << crlf;
        QTest::newRow("LF") << QByteArray() << QByteArray(crlf).replace("\r\n", "\n");
        QTest::newRow("CR") << QByteArray() << QByteArray(crlf).replace("\r\n", "\r");
        QTest::newRow("CR CR LF") << QByteArray() << QByteArray(crlf).replace("\r\n", "\r\r\n");
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF") << crlf;
        QTest::newRow("version 2.1 picture")
            << QByteArray()
            << card("2.1",
                    "N:王;五\r\nPHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n  /9j/4AAQSkZJRgABAQ\r\n  AAAQABAAD/2w==\r\n\r\n");
    }
    void shouldReadAFileInPiecesAsWhole()
    {
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, card);
        QByteArray bytes = start;
        while (bytes.size() < 2500000)
            bytes += card;
        QBuffer device(&bytes);
        device.open(QIODevice::ReadOnly);
        DraftGathering pieces;
        readVCards(device, pieces);
        const DraftSet whole = readVCards(bytes);
        QVERIFY(whole.drafts.size() > 10000);
        QCOMPARE(pieces.set.drafts.size(), whole.drafts.size());
        QCOMPARE(pieces.set.failures.size(), whole.failures.size());
        for (qsizetype i = 0; i < whole.drafts.size(); ++i) {
            const ContactDraft& a = pieces.set.drafts[i];
            const ContactDraft& b = whole.drafts[i];
            if (a.line != b.line || textsOf(a) != textsOf(b) || extrasOf(a) != extrasOf(b) || a.photo != b.photo
                || a.said != b.said || a.leftOut != b.leftOut)
                QFAIL(qPrintable(QStringLiteral("card %1 (line %2) reads otherwise in pieces").arg(i).arg(b.line)));
        }
    }

    // A large file is cut into cards on a thread of its own: what stops either side stops both.
    void shouldStopReadingInPiecesWhenEitherSideFails()
    {
        struct Refusing : DraftSink {
            int left = 100;
            void take(ContactDraft&&) override
            {
                if (--left == 0)
                    throw ExchangeError(u"停"_qs);
            }
            void take(DraftFailure&&) override {}
        };
        QByteArray cards;
        while (cards.size() < 2500000)
            cards += card("3.0", "FN:甲\r\nTEL:1\r\n");
        QBuffer device(&cards);
        device.open(QIODevice::ReadOnly);
        Refusing refusing;
        QVERIFY_THROWS_EXCEPTION(ExchangeError, readVCards(device, refusing));
        QCOMPARE(refusing.left, 0);

        QByteArray text("姓名,电话\r\n张三,1\r\n");
        QBuffer notCards(&text);
        notCards.open(QIODevice::ReadOnly);
        DraftGathering none;
        QVERIFY_THROWS_EXCEPTION(ExchangeError, readVCards(notCards, none));
    }

    void shouldJoinQuotedPrintableSoftLineBreaks()
    {
        const ContactDraft d = only(card("2.1", "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=E4=B8=80=\r\n"
                                                "=E4=BA=8C=0D=0A=\r\n"
                                                " three=3D3 = 4\\n\r\n"
                                                "FN;QUOTED-PRINTABLE:A=\r\n"));
        QCOMPARE(d.text(ContactText::Note), u"一二\r\n three=3 = 4\\n"_qs);
        QCOMPARE(d.text(ContactText::Name), u"A="_qs);  // a stray soft break before END joins nothing
    }

    void shouldGatherVersion21PicturesUpToTheBlankLine()
    {
        const QByteArray photo = sample("photo.bin");
        const QByteArray base64 = photo.toBase64();
        QByteArray lines = "PHOTO;TYPE=JPEG;ENCODING=BASE64:\r\n";
        for (qsizetype at = 0; at < base64.size(); at += 76)
            lines += base64.mid(at, 76) + "\r\n";
        lines += "\r\nTEL:1\r\n";
        const ContactDraft d = only(card("2.1", lines));
        QCOMPARE(d.photo, photo);
        QCOMPARE(d.text(ContactText::Phone), u"1"_qs);
        // without the blank line the next property still ends the picture
        lines.replace("\r\n\r\nTEL", "\r\nTEL");
        QCOMPARE(only(card("2.1", lines)).photo, photo);
    }

    void shouldKeepEveryCardAndSkipOnlyTheLinesItCannotRead()
    {
        const QByteArray bytes = card("3.0", "FN:一\r\n")                                           // line 1
                                 + "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:二\r\nTEL;1\r\nEND:VCARD\r\n"  // line 5
                                 + card("3.0", "FN:三\r\n")                                         // line 10
                                 + "BEGIN:VCARD\r\nFN:四\r\n"    // line 14, the card inside belongs to it
                                 + card("3.0", "FN:五\r\n")      // line 16
                                 + "END:VCARD\r\n垃圾\r\n"       // line 20
                                 + card("3.0", ":没有名称\r\n")  // line 22
                                 + "BEGIN:VCARD\r\nFN:六\r\n";   // line 26, cut off: kept, and said
        const DraftSet set = readVCards(bytes);
        QStringList names;
        QList<int> lines;
        for (const ContactDraft& d : set.drafts) {
            names << d.text(ContactText::Name);
            lines << d.line;
        }
        QCOMPARE(names, (QStringList{u"一"_qs, u"二"_qs, u"三"_qs, u"四"_qs, QString(), u"六"_qs}));
        QCOMPARE(lines, (QList<int>{1, 5, 10, 14, 22, 26}));
        QCOMPARE(set.drafts[1].said, QStringList{u"第 8 行不是“名称:值”的形式，已跳过：TEL;1"_qs});
        QCOMPARE(extrasOf(set.drafts[3]), QStringList{u"关系人:五"_qs});
        QVERIFY(set.drafts[5].said.first().contains(u"END:VCARD"_qs));
        QCOMPARE(set.failures.size(), 1);
        QCOMPARE(set.failures[0].line, 21);
    }

    void shouldReadTheLinesRealFilesWrite_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("note");
        QTest::addColumn<int>("telLine");
        QTest::newRow("CR CR LF") << QByteArray(
            "BEGIN:VCARD\r\r\nVERSION:3.0\r\r\nNOTE:a\r\r\n b\r\r\nTEL:1\r\r\nEND:VCARD\r\r\n")
                                  << u"ab"_qs << 5;
        QTest::newRow("bare CR") << QByteArray("BEGIN:VCARD\rVERSION:3.0\rNOTE:a\r b\rTEL:1\rEND:VCARD\r") << u"ab"_qs
                                 << 5;
        QTest::newRow("comment lines") << QByteArray("BEGIN:VCARD\nVERSION:2.1\n# note\nNOTE:a\n#x\nTEL:1\nEND:VCARD\n")
                                       << u"a"_qs << 6;
        QTest::newRow("a bare line break")
            << QByteArray("BEGIN:VCARD\nVERSION:2.1\nNOTE:first\nsecond line\nTEL:1\nEND:VCARD\n")
            << u"first\nsecond line"_qs << 5;
        QTest::newRow("a backslash at the end")
            << QByteArray("BEGIN:VCARD\nVERSION:2.1\nNOTE:Hermann\\\nStrasse 1;Hamburg\nTEL:1\nEND:VCARD\n")
            << u"Hermann\nStrasse 1;Hamburg"_qs << 5;
        QTest::newRow("an escaped backslash ends the value")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nNOTE:C:\\\\\nTEL:1\nEND:VCARD\n") << u"C:\\"_qs << 4;
    }

    void shouldReadTheLinesRealFilesWrite()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, note);
        QFETCH(int, telLine);
        const ContactDraft d = only(bytes);
        QCOMPARE(d.text(ContactText::Note), note);
        QCOMPARE(d.text(ContactText::Phone), u"1"_qs);
        QCOMPARE(d.said, QStringList{u"姓名：没有姓名，取自电话"_qs});
        // Where the next line is, by the line numbers an editor shows: the report of a bad line uses them.
        const DraftSet bad = readVCards(QByteArray(bytes).replace("TEL:1", "TEL;1"));
        QCOMPARE(bad.drafts.first().said.size(), 1);
        QVERIFY2(bad.drafts.first().said.first().startsWith(QStringLiteral("第 %1 行").arg(telLine)),
                 qPrintable(bad.drafts.first().said.first()));
    }

    void shouldNameACardAsPhonesShowIt_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("name");
        QTest::newRow("company") << QByteArray("ORG:华为;终端\r\nNICKNAME:小华\r\nTEL:1\r\n") << u"华为"_qs;
        QTest::newRow("company the card shows")
            << QByteArray("N:;;;;\r\nFN:张三\r\nORG:华为\r\nX-ABShowAs:COMPANY\r\n") << u"华为"_qs;
        QTest::newRow("nickname") << QByteArray("NICKNAME:小华\r\nEMAIL:a@b.cn\r\n") << u"小华"_qs;
        QTest::newRow("e-mail") << QByteArray("EMAIL:a@b.cn\r\nTEL:110\r\n") << u"a@b.cn"_qs;
        QTest::newRow("phone") << QByteArray("TEL:110\r\nNOTE:x\r\n") << u"110"_qs;
        QTest::newRow("nothing") << QByteArray("NOTE:x\r\n") << QString();
    }

    void shouldNameACardAsPhonesShowIt()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, name);
        const ContactDraft d = only(card("3.0", lines));
        QCOMPARE(d.text(ContactText::Name), name);
        QCOMPARE(d.said.size(), int(!name.isEmpty() && !lines.contains("FN:")));
    }

    void shouldTakeBase64WithoutItsParameterAsAPhoto()
    {
        const QByteArray jpeg("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11);
        const ContactDraft plain = only(card("3.0", "FN:a\r\nPHOTO;TYPE=JPEG:" + jpeg.toBase64() + "\r\n"));
        QCOMPARE(plain.photo, jpeg);
        const ContactDraft padded = only(card("2.1", "FN:a\r\nPHOTO;ENCODING=BASE64:" + jpeg.toBase64() + "=\r\n\r\n"));
        QCOMPARE(padded.photo, jpeg);
        const ContactDraft link = only(card("3.0", "FN:a\r\nPHOTO:http://example.com/" + QByteArray(60, 'x') + "\r\n"));
        QVERIFY(link.photo.isEmpty());
        QCOMPARE(link.leftOut.first(), u"照片：以链接给出（http://example.com/xxxxxxxxxxxxxxxxxxxxx…），未导入"_qs);
    }

    void shouldRefuseAFileWithoutCards()
    {
        QVERIFY_THROWS_EXCEPTION(ExchangeError, readVCards("姓名,电话\r\n张三,1\r\n"));
        QVERIFY_THROWS_EXCEPTION(ExchangeError, readVCards(QByteArray("\x89PNG\r\n\x1a\n\0\0", 10)));
        const DraftSet empty = readVCards(" \r\n\r\n");
        QVERIFY(empty.drafts.isEmpty() && empty.failures.isEmpty());
        QVERIFY(readVCards(QByteArray()).drafts.isEmpty());
    }
};

QTEST_GUILESS_MAIN(VCardReaderTest)
#include "test_vcard_reader.moc"
