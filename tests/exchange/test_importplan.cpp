// Planning an import: duplicates, unreadable cards, the report and its last line.

#include "exchange/DraftQueue.h"
#include "exchange/HandOver.h"
#include "exchange/ImportPlan.h"
#include "exchange/SpoolFile.h"

#include <QBuffer>
#include <QImage>
#include <QScopeGuard>
#include <QTest>
#include <thread>

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
    void shouldSkipOnlyCardsThatBringNothingNew_data()
    {
        QTest::addColumn<ContactDraft>("given");
        QTest::addColumn<bool>("skipped");
        // The book holds 张三 13800138000 zhang@a.cn, and "Google Chrome Developers" cut to its column.
        QTest::newRow("same name and phone") << card(1, u"张三"_qs, u"13800138000"_qs) << true;
        QTest::newRow("phone by its digits") << card(1, u" 张三 "_qs, u"+86 138-0013-8000"_qs) << true;
        QTest::newRow("another phone") << card(1, u"张三"_qs, u"13900139000"_qs) << false;
        QTest::newRow("another mail") << card(1, u"张三"_qs, u"13800138000"_qs, u"邮箱:li@a.cn"_qs) << false;
        QTest::newRow("the mail in another case") << card(1, u"张三"_qs, {}, u"邮箱:Zhang@A.cn"_qs) << true;
        QTest::newRow("same phone, other name") << card(1, u"李四"_qs, u"13800138000"_qs) << false;
        QTest::newRow("a longer name that begins alike") << card(1, u"Google Chrome"_qs, {}) << false;
        QTest::newRow("the whole long name") << card(1, u"Google Chrome Developers"_qs, {}) << true;
    }

    void shouldSkipOnlyCardsThatBringNothingNew()
    {
        QFETCH(ContactDraft, given);
        QFETCH(bool, skipped);
        std::array<QString, ContactTextCount> zhang, google;
        zhang[int(ContactText::Name)] = u"张三"_qs;
        zhang[int(ContactText::Phone)] = u"13800138000"_qs;
        zhang[int(ContactText::Note)] = u"老同学；邮箱:zhang@a.cn"_qs;
        google[int(ContactText::Name)] = u"Google Chr"_qs;
        const QList<ContactHoldings> book{HoldingsOf(google, {}, 0), HoldingsOf(zhang, {}, 0),
                                          HoldingsOf(google, {{u"姓名"_qs, u"Google Chrome Developers"_qs}}, 0)};
        const ImportPlan plan = PlanImport({{u"a.vcf"_qs, {{given}, {}}}}, bookWidths, book);
        QCOMPARE(plan.skipped, int(skipped));
        QCOMPARE(plan.added(), int(!skipped));
        if (skipped)
            QVERIFY2(plan.report.first().contains(u"与通讯录中第 "_qs), qPrintable(plan.report.first()));
    }

    void shouldNameTheEarlierCardASkippedOneRepeats()
    {
        const ImportSource first{u"a.vcf"_qs, {{card(1, u"王五"_qs, u"110"_qs)}, {}}};
        const ImportSource second{u"b.vcf"_qs, {{card(3, u"王五"_qs, u"110"_qs), card(8, u"王五"_qs, u"120"_qs)}, {}}};
        const ImportPlan plan = PlanImport({first, second}, bookWidths, {});
        QCOMPARE(plan.added(), 2);
        QCOMPARE(plan.skipped, 1);
        QCOMPARE(plan.report, QStringList{u"b.vcf 第 3 行 王五：与本次导入中 a.vcf 第 1 行的联系人相同，跳过"_qs});
    }

    void shouldLeaveOutACardWithNothingToNameItBy()
    {
        ContactDraft nameless = card(4, {}, {});
        nameless.text(ContactText::Address) = u"北京"_qs;
        const ImportPlan plan = PlanImport({{u"a.vcf"_qs, {{nameless}, {}}}}, bookWidths, {});
        QCOMPARE(plan.added(), 0);
        QCOMPARE(plan.skipped, 1);
        QCOMPARE(plan.report, QStringList{u"a.vcf 第 4 行：没有姓名，也没有单位、昵称、电话或邮箱可作姓名，未导入"_qs});
    }

    void shouldFindAgainWhatItKeptAside()
    {
        // A card whose values 备注 has no room for is whole again with what was kept beside its record.
        ContactDraft full = card(1, u"名字很长的一位朋友先生"_qs, u"13800138000 转 12"_qs, QString(90, u'记'));
        full.extras = {{u"邮箱"_qs, u"a@b.cn"_qs}, {u"网址"_qs, u"http://a.cn"_qs}};
        const ImportPlan first = PlanImport({{u"a.vcf"_qs, {{full}, {}}}}, bookWidths, {});
        QCOMPARE(first.added(), 1);
        const FittedContact& stored = first.toAdd.first();
        QCOMPARE(stored.kept.size(), 3);  // 姓名, 电话 and 网址; 邮箱 just fits
        const ImportPlan again =
            PlanImport({{u"a.vcf"_qs, {{full}, {}}}}, bookWidths, {HoldingsOf(stored.texts, stored.kept, 0)});
        QCOMPARE(again.added(), 0);
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
        FittedContact stored;
        stored.texts[int(ContactText::Name)] = QStringLiteral("王五");
        stored.texts[int(ContactText::Phone)] = QStringLiteral("130");
        const ImportPlan plan =
            PlanImport({{QStringLiteral("d.vcf"), cards}}, bookWidths, {HoldingsOf(stored.texts, stored.kept, 0)});
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

    // Drafts held in a spool file plan as they do in memory: the same report,
    // the same records, each photo's bytes (kept as read, or made a JPEG) given back.
    void shouldPlanSpooledDraftsAsDraftsInMemory()
    {
        DraftSet cards;
        ContactDraft pictured = card(1, QStringLiteral("张三"), QStringLiteral("110"), QString(""));
        pictured.photo = QByteArray("\xff\xd8\xff\xe0 not a whole JPEG");
        pictured.extras = {{QStringLiteral("邮箱"), QStringLiteral("z@example.com")}, {QStringLiteral("网址"), {}}};
        pictured.said = {QStringLiteral("姓名：名片没有姓名，取自单位")};
        ContactDraft bitmap = card(9, QStringLiteral("李四"), QStringLiteral("120"));
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        QBuffer png(&bitmap.photo);
        png.open(QIODevice::WriteOnly);
        image.save(&png, "PNG");
        cards.drafts = {pictured, card(4, QString(12, u'名'), QStringLiteral("1")), bitmap,
                        card(12, QStringLiteral("张三"), QStringLiteral("110"))};
        cards.failures = {{6, QStringLiteral("缺少 END:VCARD")}};
        const ImportPlan inMemory = PlanImport({{QStringLiteral("a.vcf"), cards}}, bookWidths, {});

        auto spool = std::make_shared<DraftSpool>(std::make_shared<SpoolFile>());
        for (ContactDraft draft : cards.drafts)
            spool->take(std::move(draft));
        const ImportPlan spooled =
            PlanImport({{QStringLiteral("a.vcf"), {{}, cards.failures, {}}, spool}}, bookWidths, {});

        QCOMPARE(spooled.report, inMemory.report);
        QCOMPARE(spooled.toAdd.size(), inMemory.toAdd.size());
        for (qsizetype i = 0; i < inMemory.toAdd.size(); ++i) {
            const FittedContact& a = spooled.toAdd[i];
            const FittedContact& b = inMemory.toAdd[i];
            QCOMPARE(QStringList(a.texts.begin(), a.texts.end()), QStringList(b.texts.begin(), b.texts.end()));
            QCOMPARE(bool(a.photo), bool(b.photo));
            QCOMPARE(a.photo.bytes(), b.photo.bytes());
        }
        QCOMPARE(spooled.toAdd[0].photo.bytes(), pictured.photo);
        QVERIFY(spooled.toAdd[2].photo.bytes().startsWith("\xff\xd8"));
        QCOMPARE(spooled.cards[0].intoNote, inMemory.cards[0].intoNote);
        QCOMPARE(spooled.skipped, inMemory.skipped);
        QCOMPARE(spooled.cards.last().fate, CardFate::EarlierInImport);
    }

    // Cards planned while another thread reads them (a queue of two, so each
    // side waits for the other) plan as the whole file does; out of line order
    // they are refused, and a reading that failed fails the plan.
    // A writer that fails gives up the hand-over from the taking side; a
    // giver that fails, from the giving side: neither is left waiting.
    void shouldStopBothSidesOfAHandOverWhicheverGivesUp()
    {
        HandOver<int> items(4);
        std::thread taker([&] {
            int item = 0;
            while (items.pop(item)) {
            }
        });
        items.push(1);
        items.abandon();
        taker.join();
        QVERIFY_THROWS_EXCEPTION(HandOverAbandoned, items.push(2));
    }

    void shouldPlanCardsAsTheyAreRead()
    {
        DraftSet cards;
        ContactDraft pictured = card(1, QStringLiteral("张三"), QStringLiteral("110"));
        pictured.photo = QByteArray("\xff\xd8\xff\xe0 not a whole JPEG");
        cards.drafts = {pictured, card(4, QString(12, u'名'), QStringLiteral("1")),
                        card(6, QStringLiteral("李四"), QStringLiteral("120")),
                        card(12, QStringLiteral("张三"), QStringLiteral("110"))};
        cards.failures = {{6, QStringLiteral("缺少 END:VCARD")}};
        const ImportPlan whole = PlanImport({{QStringLiteral("a.vcf"), cards}}, bookWidths, {});
        QList<QueuedCard> inOrder;
        const ImportSource source{QStringLiteral("a.vcf"), cards};
        for (const ImportEntry& entry : EntriesInLineOrder(source))
            inOrder.append(entry.failure ? QueuedCard{0, *entry.failure} : QueuedCard{0, *entry.draft});
        QList<FittedContact> written;  // as each card to add is handed on while planned
        const auto asRead = [&written](const QList<QueuedCard>& order, std::exception_ptr error = nullptr) {
            DraftQueue queue(2);
            std::thread reader([&] {
                try {
                    for (const QueuedCard& queued : order)
                        queue.push(queued);
                } catch (const DraftQueue::Abandoned&) {
                }
                queue.close(error);
            });
            const auto abandoning = qScopeGuard([&] {
                queue.abandon();
                reader.join();
            });
            written.clear();
            return PlanImportAsRead(queue, {QStringLiteral("a.vcf")}, std::make_shared<SpoolFile>(), bookWidths, {},
                                    [&](const FittedContact& contact) { written << contact; });
        };

        const std::optional<ImportPlan> plan = asRead(inOrder);
        QVERIFY(plan);
        QCOMPARE(plan->report, whole.report);
        QCOMPARE(namesOf(*plan), namesOf(whole));
        QCOMPARE(plan->cards.last().fate, CardFate::EarlierInImport);
        QCOMPARE(written.size(), plan->toAdd.size());
        QCOMPARE(written[0].photo.bytes(), pictured.photo);
        // The plan itself holds the photo's size, not its bytes: they went with the card handed on.
        QCOMPARE(plan->toAdd[0].photo.size(), pictured.photo.size());
        QVERIFY_THROWS_EXCEPTION(ExchangeError, plan->toAdd[0].photo.bytes());
        std::swap(inOrder[2], inOrder[3]);  // the failure of line 6 before its card
        QVERIFY(!asRead(inOrder));
        QVERIFY_THROWS_EXCEPTION(ExchangeError, asRead({}, std::make_exception_ptr(ExchangeError(u"坏"_qs))));
    }
};

QTEST_GUILESS_MAIN(ImportPlanTest)
#include "test_importplan.moc"
