// Planning an import: duplicates, unreadable cards, the report and its last line.

#include "exchange/ImportPlan.h"

#include <QTest>

namespace {

const ColumnWidths bookWidths{10, 10, 15, 15, 15, 30, 100};

ContactDraft card(int line, const QString& name, const QString& phone, const QString& note = {})
{
    ContactDraft draft;
    draft.line = line;
    draft.text(ContactText::Name) = name;
    draft.text(ContactText::Phone) = phone;
    draft.text(ContactText::Note) = note;
    return draft;
}

QStringList namesOf(const ImportPlan& plan)
{
    QStringList names;
    for (const FittedContact& contact : plan.toAdd)
        names << contact.text(ContactText::Name);
    return names;
}

}  // namespace

class ImportPlanTest : public QObject {
    Q_OBJECT

private slots:
    void shouldSkipCardsAlreadyInTheBook()
    {
        const QList<ContactKey> existing{{QStringLiteral("张三"), QStringLiteral("13800138000")}};
        ImportSource source{QStringLiteral("a.vcf"),
                            {{card(1, QStringLiteral(" 张三 "), QStringLiteral("13800138000 ")),
                              card(5, QStringLiteral("张三"), QStringLiteral("13900139000")),
                              card(9, QStringLiteral("李四"), QStringLiteral("13800138000"))},
                             {}}};
        const ImportPlan plan = PlanImport({source}, bookWidths, existing);
        QCOMPARE(namesOf(plan), (QStringList{QStringLiteral("张三"), QStringLiteral("李四")}));
        QCOMPARE(plan.skipped, 1);
        QCOMPARE(plan.report, QStringList{QStringLiteral("a.vcf 第 1 行 张三：通讯录中已有同名同电话的联系人，跳过")});
    }

    void shouldSkipRepeatsWithinOneImportAcrossFiles()
    {
        const ImportSource first{QStringLiteral("a.vcf"),
                                 {{card(1, QStringLiteral("王五"), QStringLiteral("110"))}, {}}};
        const ImportSource second{QStringLiteral("b.vcf"),
                                  {{card(3, QStringLiteral("王五"), QStringLiteral("110")),
                                    card(8, QStringLiteral("王五"), QStringLiteral("120"))},
                                   {}}};
        const ImportPlan plan = PlanImport({first, second}, bookWidths, {});
        QCOMPARE(plan.added(), 2);
        QCOMPARE(plan.skipped, 1);
        QCOMPARE(plan.report, QStringList{QStringLiteral("b.vcf 第 3 行 王五：与本次导入中前面的联系人重复，跳过")});
    }

    void shouldCompareCardsWithoutNameOrPhoneByAllTheirTexts()
    {
        ContactDraft mailOnly = card(1, {}, {});
        mailOnly.extras = {{QStringLiteral("邮箱"), QStringLiteral("a@b.cn")}};
        ContactDraft otherMail = card(4, {}, {});
        otherMail.extras = {{QStringLiteral("邮箱"), QStringLiteral("c@d.cn")}};
        ContactDraft sameMail = mailOnly;
        sameMail.line = 9;
        const ImportPlan plan =
            PlanImport({{QStringLiteral("a.vcf"), {{mailOnly, otherMail, sameMail}, {}}}}, bookWidths, {});
        QCOMPARE(plan.added(), 2);
        QCOMPARE(plan.skipped, 1);
    }

    void shouldMatchTheBookAsStoredAfterFitting()
    {
        // A name cut to its width is stored cut: importing the card again finds that record.
        const QString longName = QStringLiteral("一二三四五六七八九十甲");
        const QList<ContactKey> existing{{QStringLiteral("一二三四五六七八九十"), QStringLiteral("110")}};
        const ImportPlan plan = PlanImport(
            {{QStringLiteral("a.vcf"), {{card(1, longName, QStringLiteral("110"))}, {}}}}, bookWidths, existing);
        QCOMPARE(plan.added(), 0);
        QCOMPARE(plan.skipped, 1);
    }

    void shouldReportUnreadableCardsAndCutOnesInLineOrder()
    {
        DraftSet cards;
        cards.drafts = {card(12, QString(12, u'名'), QStringLiteral("1")),
                        card(2, QStringLiteral("赵六"), QStringLiteral("2"))};
        cards.failures = {{7, QStringLiteral("缺少 END:VCARD")}};
        const ImportPlan plan = PlanImport({{QStringLiteral("c.vcf"), cards}}, bookWidths, {});
        QCOMPARE(plan.report,
                 (QStringList{QStringLiteral("c.vcf 第 7 行：无法读取，跳过（缺少 END:VCARD）"),
                              QStringLiteral(
                                  "c.vcf 第 12 行 名名名名名名名名名名：姓名：超过 10 个字符，已截断，原文记入备注")}));
        QCOMPARE(plan.added(), 2);
        QCOMPARE(plan.skipped, 1);
        QCOMPARE(plan.cut, 1);
        QCOMPARE(ImportSummary(plan, true), QStringLiteral("添加 2 条，跳过 1 条，截断 1 条"));
        QCOMPARE(ImportSummary(plan, false), QStringLiteral("试运行，未写入：可添加 2 条，跳过 1 条，截断 1 条"));
    }

    // A person's choice over the planned cards: every card keeps its fate and
    // its place; what is chosen is added (a duplicate too), the rest is skipped
    // and said so; a card that could not be read can never be chosen.
    void shouldAddExactlyTheChosenCards()
    {
        DraftSet cards;
        ContactDraft mailed = card(1, QStringLiteral("张三"), QStringLiteral("110"));
        mailed.extras = {{QStringLiteral("邮箱"), QStringLiteral("z@example.com")}, {QStringLiteral("网址"), {}}};
        cards.drafts = {mailed, card(4, QStringLiteral("李四"), QStringLiteral("120")),
                        card(9, QStringLiteral("王五"), QStringLiteral("130"))};
        cards.failures = {{6, QStringLiteral("缺少 END:VCARD")}};
        const ImportPlan plan = PlanImport({{QStringLiteral("d.vcf"), cards}}, bookWidths,
                                           {{QStringLiteral("王五"), QStringLiteral("130")}});
        QCOMPARE(plan.cards.size(), 4);
        const QList<CardFate> fates{CardFate::Add, CardFate::Add, CardFate::Unreadable, CardFate::InBook};
        for (int i = 0; i < fates.size(); ++i)
            QCOMPARE(plan.cards[i].fate, fates[i]);
        QCOMPARE(plan.cards[0].intoNote, QStringList{QStringLiteral("邮箱")});
        QCOMPARE(namesOf(ChooseCards(plan, {true, true, false, false})), namesOf(plan));

        const ImportPlan chosen = ChooseCards(plan, {false, true, true, true});
        QCOMPARE(namesOf(chosen), (QStringList{QStringLiteral("李四"), QStringLiteral("王五")}));
        QCOMPARE(chosen.skipped, 2);
        QCOMPARE(chosen.report, (QStringList{QStringLiteral("d.vcf 第 1 行 张三：未选中，跳过"),
                                             QStringLiteral("d.vcf 第 6 行：无法读取，跳过（缺少 END:VCARD）")}));
        QCOMPARE(ChooseCards(plan, {}).added(), 0);
    }
};

QTEST_GUILESS_MAIN(ImportPlanTest)
#include "test_importplan.moc"
