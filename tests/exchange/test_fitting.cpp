// Fitting drafts to the book's columns: widths, phone separators, overflow into 备注.

#include "exchange/ContactFitting.h"
#include "store/ADODB.h"
#include "store/ContactColumns.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "store/SqliteHandle.h"
#include "tests/support/TestFolder.h"

#include <QTest>

Q_DECLARE_METATYPE(ContactText)

namespace {

const ColumnWidths bookWidths{10, 10, 15, 15, 15, 30, 100};

ContactDraft draftWith(ContactText column, const QString& value)
{
    ContactDraft draft;
    draft.line = 7;
    draft.text(column) = value;
    return draft;
}

}  // namespace

class FittingTest : public QObject {
    Q_OBJECT

private slots:
    void shouldTakeTheWidthsFromTheBooksColumns()
    {
        TestFolder folder;
        TADOConnection connection;
        TADOQuery query;
        query.Connection = &connection;
        QVERIFY(CreateJetDatabase(folder.databasePath(), ContactSchema::DatabasePassword()));
        QVERIFY(OpenJetDatabase(connection, folder.databasePath(), ContactSchema::DatabasePassword()));
        QVERIFY(RunSqlScript(query, {ContactSchema::CreateContactTable()}));
        QVERIFY(OpenTable(query, ContactSchema::ContactTable()));
        QCOMPARE(ContactWidths(query), bookWidths);
        // A book not made yet is planned with the columns its statement declares: exactly those the made book has.
        QCOMPARE(ContactWidths(ContactSchema::ContactColumns()), bookWidths);
        const Statement made(connection.Handle(), QStringLiteral("select * from rem where 0"));
        const std::vector<ColumnInfo> described = DescribeColumns(made.get());
        const std::vector<ColumnInfo>& declared = ContactSchema::ContactColumns();
        QCOMPARE(declared.size(), described.size());
        for (size_t i = 0; i < described.size(); ++i) {
            QCOMPARE(declared[i].name, described[i].name);
            QCOMPARE(declared[i].width, described[i].width);
            QCOMPARE(declared[i].blob, described[i].blob);
            QCOMPARE(declared[i].padded, described[i].padded);
        }
    }

    void shouldFitEachColumnToItsWidth_data()
    {
        QTest::addColumn<ContactText>("column");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("note");
        QTest::addColumn<bool>("cut");

        QTest::newRow("name that fits") << ContactText::Name << "欧阳修远"
                                        << "欧阳修远"
                                        << "" << false;
        QTest::newRow("name at its width") << ContactText::Name << "一二三四五六七八九十"
                                           << "一二三四五六七八九十"
                                           << "" << false;
        QTest::newRow("name one too long") << ContactText::Name << "一二三四五六七八九十甲"
                                           << "一二三四五六七八九十"
                                           << "姓名:一二三四五六七八九十甲" << true;
        QTest::newRow("characters outside the basic plane count once") << ContactText::Name << "𠀀𠀁𠀂𠀃𠀄𠀅𠀆𠀇𠀈𠀉"
                                                                       << "𠀀𠀁𠀂𠀃𠀄𠀅𠀆𠀇𠀈𠀉"
                                                                       << "" << false;
        QTest::newRow("a cut never splits a surrogate pair") << ContactText::Name << "𠀀𠀁𠀂𠀃𠀄𠀅𠀆𠀇𠀈𠀉𠀊"
                                                             << "𠀀𠀁𠀂𠀃𠀄𠀅𠀆𠀇𠀈𠀉"
                                                             << "姓名:𠀀𠀁𠀂𠀃𠀄𠀅𠀆𠀇𠀈𠀉𠀊" << true;
        QTest::newRow("blanks around are trimmed") << ContactText::Name << "  张三\t"
                                                   << "张三"
                                                   << "" << false;
        QTest::newRow("phone that fits keeps its dashes") << ContactText::Phone << "138-0013-8000"
                                                          << "138-0013-8000"
                                                          << "" << false;
        QTest::newRow("phone fits without separators") << ContactText::Phone << "+86 (138) 0013.8000"
                                                       << "+8613800138000"
                                                       << "" << false;
        QTest::newRow("full-width separators go too") << ContactText::Phone << "（０１０）　１２３４－５６７８９"
                                                      << "０１０１２３４５６７８９"
                                                      << "" << false;
        QTest::newRow("category") << ContactText::Category << "大学同学和室友们以及朋友"
                                  << "大学同学和室友们以及"
                                  << "类别:大学同学和室友们以及朋友" << true;
        QTest::newRow("birthday") << ContactText::Birthday << "1990年1月2日（农历腊月初六）"
                                  << "1990年1月2日（农历腊月初"
                                  << "生日:1990年1月2日（农历腊月初六）" << true;
        QTest::newRow("QQ") << ContactText::QQ << "1234567890123456"
                            << "123456789012345"
                            << "QQ:1234567890123456" << true;
        QTest::newRow("address") << ContactText::Address << QString(31, u'路') << QString(30, u'路')
                                 << QStringLiteral("地址:") + QString(31, u'路') << true;
        QTest::newRow("a cut ends without blanks") << ContactText::Name << "Johnathan Smith"
                                                   << "Johnathan"
                                                   << "姓名:Johnathan Smith" << true;
        QTest::newRow("note too long is cut")
            << ContactText::Note << QString(101, u'记') << QString(100, u'记') << QString(100, u'记') << true;
    }

    void shouldFitEachColumnToItsWidth()
    {
        QFETCH(ContactText, column);
        QFETCH(QString, given);
        QFETCH(QString, stored);
        QFETCH(QString, note);
        QFETCH(bool, cut);

        const FittedContact fitted = FitDraft(draftWith(column, given), bookWidths);
        QCOMPARE(fitted.text(column), stored);
        QCOMPARE(fitted.text(ContactText::Note), note);
        QCOMPARE(fitted.cut, cut);
        QCOMPARE(fitted.notes.isEmpty(), !cut);
        QCOMPARE(fitted.line, 7);
        if (cut)
            QVERIFY2(fitted.notes.first().startsWith(ContactTextColumns().at(int(column))),
                     qPrintable(fitted.notes.first()));
    }

    void shouldAddOverflowAfterTheCardsOwnNoteWhileItHasRoom()
    {
        ContactDraft draft;
        draft.text(ContactText::Name) = QStringLiteral("一二三四五六七八九十甲乙");  // 12: "姓名:" + 12 = 15 more
        draft.text(ContactText::Note) = QString(84, u'记');
        draft.extras = {{QStringLiteral("邮箱"), QStringLiteral("a@b.cn")},
                        {QStringLiteral("电话"), QStringLiteral("010-1")}};

        const FittedContact fitted = FitDraft(draft, bookWidths);
        // 84 + "；" + 15 = 100 fits exactly; then there is no room left.
        QCOMPARE(fitted.text(ContactText::Note),
                 QString(84, u'记') + QStringLiteral("；姓名:一二三四五六七八九十甲乙"));
        QCOMPARE(fitted.notes, (QStringList{QStringLiteral("姓名：超过 10 个字符，已截断，原文记入备注"),
                                            QStringLiteral("备注已满，另存于通讯录：邮箱")}));
        QCOMPARE(fitted.kept, (QList<DraftExtra>{{QStringLiteral("邮箱"), QStringLiteral("a@b.cn")}}));
        QCOMPARE(fitted.text(ContactText::Phone), QStringLiteral("010-1"));
        QVERIFY(fitted.cut);
    }

    void shouldSkipAnOverflowThatCannotFitButKeepLaterOnesThatDo()
    {
        ContactDraft draft;
        draft.text(ContactText::Address) = QString(100, u'路');
        draft.text(ContactText::Note) = QStringLiteral("老同事");
        draft.extras = {{QStringLiteral("邮箱"), QStringLiteral("li@example.com")}};

        const FittedContact fitted = FitDraft(draft, bookWidths);
        QCOMPARE(fitted.text(ContactText::Address), QString(30, u'路'));
        QCOMPARE(fitted.text(ContactText::Note), QStringLiteral("老同事；邮箱:li@example.com"));
        QCOMPARE(fitted.notes, QStringList{QStringLiteral("地址：超过 30 个字符，已截断，备注已满，原文另存于通讯录")});
        QCOMPARE(fitted.kept, (QList<DraftExtra>{{QStringLiteral("地址"), QString(100, u'路')}}));
    }

    void shouldKeepOneWholePhoneNumberAndTheWholeTextInTheNote_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("note");
        QTest::newRow("an extension") << u"tel:+44-555-555-5555;ext=5555"_qs.mid(4) << u"+445555555555"_qs
                                      << u"电话:+44-555-555-5555;ext=5555"_qs;
        QTest::newRow("转 after dropping separators")
            << u"+86 (010) 6234-5678 转 8001"_qs << u"+8601062345678"_qs << u"电话:+86 (010) 6234-5678 转 8001"_qs;
        QTest::newRow("a remark in brackets")
            << u"13800138000（宅）"_qs << u"13800138000"_qs << u"电话:13800138000（宅）"_qs;
        QTest::newRow("two numbers") << u"13800138000 13900139000"_qs << u"13800138000"_qs
                                     << u"电话:13800138000 13900139000"_qs;
        QTest::newRow("dial pauses are the number") << u"p1234p5678w9"_qs << u"p1234p5678w9"_qs << QString();
        QTest::newRow("too long for any column")
            << u"+44 1234 5678 9012 3456"_qs << QString() << u"电话:+44 1234 5678 9012 3456"_qs;
        QTest::newRow("no number") << u"MobilePhone"_qs << QString() << u"电话:MobilePhone"_qs;
    }

    void shouldKeepOneWholePhoneNumberAndTheWholeTextInTheNote()
    {
        QFETCH(QString, given);
        QFETCH(QString, phone);
        QFETCH(QString, note);
        const FittedContact fitted = FitDraft(draftWith(ContactText::Phone, given), bookWidths);
        QCOMPARE(fitted.text(ContactText::Phone), phone);
        QCOMPARE(fitted.text(ContactText::Note), note);
        QVERIFY(!fitted.cut);
        QCOMPARE(fitted.notes.size(), int(!note.isEmpty()));
    }

    void shouldTakeTheFirstWholeNumberFromTheOtherPhones()
    {
        ContactDraft draft = draftWith(ContactText::Phone, u"MobilePhone"_qs);
        draft.extras = {{u"电话（工作）"_qs, u"010-1234 x5"_qs}, {u"邮箱"_qs, u"a@b.cn"_qs}};
        const FittedContact fitted = FitDraft(draft, bookWidths);
        QCOMPARE(fitted.text(ContactText::Phone), u"010-1234"_qs);
        QCOMPARE(fitted.text(ContactText::Note), u"电话:MobilePhone；电话（工作）:010-1234 x5；邮箱:a@b.cn"_qs);
    }

    void shouldPutExtrasIntoAnEmptyNoteWithoutALeadingSeparator()
    {
        ContactDraft draft;
        draft.extras = {{QStringLiteral("邮箱"), QStringLiteral(" a@b.cn ")},
                        {QStringLiteral("网址"), QString()},
                        {QStringLiteral("电话"), QStringLiteral("010-12345678")}};
        const FittedContact fitted = FitDraft(draft, bookWidths);
        QCOMPARE(fitted.text(ContactText::Note), QStringLiteral("邮箱:a@b.cn"));
        QCOMPARE(fitted.text(ContactText::Phone), QStringLiteral("010-12345678"));  // the first whole number
        QVERIFY(fitted.notes.isEmpty());
        QVERIFY(!fitted.cut);
    }

    void shouldReportWhatTheReaderLeftOut()
    {
        ContactDraft draft;
        draft.text(ContactText::Name) = QStringLiteral("王五");
        draft.leftOut = {QStringLiteral("照片：以链接给出（http://a.cn/me.jpg），未导入")};
        const FittedContact fitted = FitDraft(draft, bookWidths);
        QCOMPARE(fitted.notes, draft.leftOut);
        QVERIFY(fitted.cut);
        QVERIFY(!fitted.photo);
    }

    void shouldReportAPhotoThatCannotBeKept()
    {
        ContactDraft draft;
        draft.photo = QByteArray("RIFF\0\0\0\0WEBPVP8 ", 16);
        const FittedContact fitted = FitDraft(draft, bookWidths);
        QVERIFY(!fitted.photo);
        QCOMPARE(fitted.notes.size(), 1);
        QVERIFY(fitted.notes.first().startsWith(QStringLiteral("照片")));
        QVERIFY(fitted.cut);
    }
};

QTEST_GUILESS_MAIN(FittingTest)
#include "test_fitting.moc"
