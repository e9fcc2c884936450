// Whole syncs of a real book with an address book in memory: every case of
// the decisions once, with what each side holds afterwards.

#include "book/SyncBookFile.h"
#include "store/SyncTables.h"
#include "sync/SyncEngine.h"
#include "tests/book/BookTesting.h"
#include "tests/sync/MemoryCardServer.h"

#include <QTest>

namespace {

QByteArray card(const QString& uid, const QString& name, const QString& phone, const QByteArray& more = {})
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid.toUtf8() + "\r\nFN:" + name.toUtf8()
           + "\r\nN:" + name.left(1).toUtf8() + ";" + name.mid(1).toUtf8() + ";;;\r\nTEL;TYPE=CELL:" + phone.toUtf8()
           + "\r\n" + more + "END:VCARD\r\n";
}

QList<QVariant> row(const QString& name, const QString& phone, const QString& note = {})
{
    return {u"朋友"_qs, name, QString(), phone, QString(), QString(), note};
}

// One sync of the book with the server.
SyncReport sync(TestBook& book, MemoryCardServer& server, SyncOptions options = {})
{
    BookFile file(book.path);
    SyncBookFile side(file.connection, book.path);
    return Synchronise(side, server, options);
}

QStringList namesOf(TestBook& book)
{
    QStringList names;
    for (const ContactTexts& texts : book.texts())
        names << texts[size_t(ContactText::Name)];
    names.sort();
    return names;
}

QString phoneOf(TestBook& book, const QString& name)
{
    for (const ContactTexts& texts : book.texts())
        if (texts[size_t(ContactText::Name)] == name)
            return texts[size_t(ContactText::Phone)];
    return u"<none>"_qs;
}

void setPhone(TestBook& book, const QString& name, const QString& phone)
{
    BookFile file(book.path);
    file.connection.Execute(QStringLiteral("update rem set 电话 = '%1' where 姓名 = '%2'").arg(phone, name));
}

void deleteRecord(TestBook& book, const QString& name)
{
    BookFile file(book.path);
    file.connection.Execute(QStringLiteral("delete from rem where 姓名 = '%1'").arg(name));
}

// The real book, counting what a sync reads of it.
class CountingBook : public SyncBook {
public:
    explicit CountingBook(SyncBook& book) : book_(book) {}
    int wholeReads = 0;
    qsizetype recordsRead = 0;

    sqlite3* handle() override { return book_.handle(); }
    ColumnWidths widths() override { return book_.widths(); }
    QList<BookRecord> records() override { return counted(book_.records(), 1); }
    QList<BookRecord> records(const QList<qint64>& recs) override { return counted(book_.records(recs), 0); }
    qint64 count() override { return book_.count(); }
    std::optional<StoredContact> record(qint64 rec) override { return book_.record(rec); }
    qint64 add(const StoredContact& contact) override { return book_.add(contact); }
    void update(qint64 rec, const StoredContact& before, const StoredContact& after) override
    {
        book_.update(rec, before, after);
    }
    void remove(qint64 rec) override { book_.remove(rec); }
    void transaction(const std::function<void()>& work) override { book_.transaction(work); }
    QString backup() override { return book_.backup(); }

private:
    QList<BookRecord> counted(QList<BookRecord> read, int whole)
    {
        wholeReads += whole;
        recordsRead += read.size();
        return read;
    }
    SyncBook& book_;
};

// Two records and two cards (one an iPhone group) synced once.
struct Synced {
    TestBook book;
    MemoryCardServer server;
    Synced()
    {
        book.add({row(u"张三"_qs, u"13800000001"_qs), row(u"李四"_qs, u"13800000002"_qs)});
        server.phonePut(u"/book/w.vcf"_qs,
                        card(u"w"_qs, u"王五"_qs, u"13800000003"_qs,
                             "item1.TEL:010-1234\r\nitem1.X-ABLabel:老家\r\nX-UNKNOWN;X-A=1:保留\r\n"));
        server.phonePut(u"/book/g.vcf"_qs, "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:g\r\nFN:家人\r\nN:家人;;;;\r\n"
                                           "X-ADDRESSBOOKSERVER-KIND:group\r\nX-ADDRESSBOOKSERVER-MEMBER:urn:uuid:w\r\n"
                                           "END:VCARD\r\n");
        const SyncReport first = sync(book, server);
        QCOMPARE(first.summary(), u"上传 2，下载 1，删除 0，冲突 0"_qs);
    }
};

}  // namespace

class SyncEngineTest : public QObject {
    Q_OBJECT

private slots:
    void firstSyncJoinsBothSidesAndASecondWritesNothing()
    {
        Synced s;
        QCOMPARE(namesOf(s.book), (QStringList{u"张三"_qs, u"李四"_qs, u"王五"_qs}));
        QCOMPARE(s.server.cards.size(), 4);  // the group card stays, and never becomes a person
        const int writes = s.server.writes;
        const SyncReport again = sync(s.book, s.server);
        QCOMPARE(again.summary(), u"上传 0，下载 0，删除 0，冲突 0"_qs);
        QCOMPARE(s.server.writes, writes);
        const int before = s.server.requests;
        sync(s.book, s.server);
        QCOMPARE(s.server.requests - before, 1);  // the tags alone tell nothing changed
    }

    void changesOnEachSideMeet()
    {
        Synced s;
        setPhone(s.book, u"张三"_qs, u"13900000001"_qs);
        const QString href = u"/book/w.vcf"_qs;
        QByteArray text = s.server.cards[href].text;
        s.server.phonePut(href, text.replace("13800000003", "13700000003"));
        QCOMPARE(sync(s.book, s.server).summary(), u"上传 1，下载 1，删除 0，冲突 0"_qs);
        QCOMPARE(phoneOf(s.book, u"王五"_qs), u"13700000003"_qs);
        bool found = false;
        for (const auto& c : s.server.cards)
            found = found || c.text.contains("13900000001");
        QVERIFY(found);
        // The phone's own lines went back untouched.
        QVERIFY(s.server.cards[href].text.contains("X-UNKNOWN;X-A=1:保留"));
    }

    void sameFieldOnBothSidesWaitsForAPick()
    {
        Synced s;
        setPhone(s.book, u"王五"_qs, u"13911111111"_qs);
        const QString href = u"/book/w.vcf"_qs;
        QByteArray text = s.server.cards[href].text;
        s.server.phonePut(href, text.replace("13800000003", "13722222222"));
        QCOMPARE(sync(s.book, s.server).summary(), u"上传 0，下载 0，删除 0，冲突 1"_qs);
        QCOMPARE(phoneOf(s.book, u"王五"_qs), u"13911111111"_qs);  // nothing overwritten
        QVERIFY(s.server.cards[href].text.contains("13722222222"));
        QCOMPARE(sync(s.book, s.server).conflicts, 1);  // still waiting

        BookFile file(s.book.path);
        SyncBookFile side(file.connection, s.book.path);
        const QList<SyncConflict> conflicts = ReadSyncConflicts(side);
        QCOMPARE(conflicts.size(), 1);
        QCOMPARE(conflicts.first().fields, QList<SyncField>{SyncField::Phone});
        ChooseSyncSide(side, conflicts.first().rec, Side::Server);
        QCOMPARE(Synchronise(side, s.server).summary(), u"上传 0，下载 1，删除 0，冲突 0"_qs);
        QCOMPARE(phoneOf(s.book, u"王五"_qs), u"13722222222"_qs);
        QVERIFY(ReadSyncConflicts(side).isEmpty());
    }

    void aCardChangedBeforeTheWriteIsMergedAgain()
    {
        Synced s;
        setPhone(s.book, u"王五"_qs, u"13911111111"_qs);
        const QString href = u"/book/w.vcf"_qs;
        s.server.beforeWrite = [&](const QString& at) {
            QByteArray text = s.server.cards[at].text;
            s.server.phonePut(at, text.replace("FN:王五", "FN:王五\r\nNOTE:新朋友"));
        };
        QCOMPARE(sync(s.book, s.server).summary(), u"上传 1，下载 1，删除 0，冲突 0"_qs);
        QVERIFY(s.server.cards[href].text.contains("13911111111"));
        QVERIFY(s.server.cards[href].text.contains("NOTE:新朋友"));
    }

    void deletesReachTheOtherSideAndChangesWin()
    {
        Synced s;
        deleteRecord(s.book, u"张三"_qs);
        const QString wang = u"/book/w.vcf"_qs;
        s.server.phoneDelete(wang);
        const SyncReport report = sync(s.book, s.server);
        QCOMPARE(report.summary(), u"上传 0，下载 0，删除 2，冲突 0"_qs);
        QVERIFY(!report.backup.isEmpty() && QFile::exists(report.backup));
        QCOMPARE(namesOf(s.book), QStringList{u"李四"_qs});
        QCOMPARE(s.server.cards.size(), 2);

        // Deleted on one side, changed on the other: the change wins.
        setPhone(s.book, u"李四"_qs, u"13955555555"_qs);
        QString li;
        for (auto it = s.server.cards.cbegin(); it != s.server.cards.cend(); ++it)
            if (it->text.contains("李四"))
                li = it.key();
        s.server.phoneDelete(li);
        QCOMPARE(sync(s.book, s.server, {false, true}).uploaded, 1);
        QVERIFY(s.server.cards.contains(li));
        QVERIFY(s.server.cards[li].text.contains("13955555555"));
    }

    void anEmptiedAddressBookStopsTheSync()
    {
        Synced s;
        for (const QString& href : s.server.cards.keys())
            s.server.phoneDelete(href);
        const SyncReport report = sync(s.book, s.server);
        QVERIFY(report.stoppedForDeletes);
        QVERIFY(report.deletesWarning.contains(u"--allow-deletes"_qs));
        QCOMPARE(s.book.count(), 3);
        QVERIFY(sync(s.book, s.server, {true, true}).deleted == 3);  // a dry run says, and still changes nothing
        QCOMPARE(s.book.count(), 3);
    }

    void aSyncKilledWhileSendingMakesNoDuplicate()
    {
        TestBook book;
        QList<QList<QVariant>> rows;
        for (int i = 0; i < 5; ++i)
            rows << row(QStringLiteral("联系人%1").arg(i), QStringLiteral("1380000000%1").arg(i));
        book.add(rows);
        MemoryCardServer server;
        server.failAfterPuts = 3;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, sync(book, server));
        QCOMPARE(server.cards.size(), 3);
        server.failAfterPuts = -1;
        QCOMPARE(sync(book, server).uploaded, 5);
        QCOMPARE(server.cards.size(), 5);
        const QStringList uids = server.uids();
        QCOMPARE(QSet<QString>(uids.begin(), uids.end()).size(), 5);
        QCOMPARE(book.count(), 5);
        QCOMPARE(sync(book, server).summary(), u"上传 0，下载 0，删除 0，冲突 0"_qs);
    }

    void aRefusedTokenListsEverythingAndLosesNothing()
    {
        Synced s;
        setPhone(s.book, u"张三"_qs, u"13900000001"_qs);
        s.server.phonePut(u"/book/n.vcf"_qs, card(u"n"_qs, u"赵六"_qs, u"13800000006"_qs));
        s.server.refuseTokens = true;
        const SyncReport report = sync(s.book, s.server);
        QCOMPARE(report.summary(), u"上传 1，下载 1，删除 0，冲突 0"_qs);
        QCOMPARE(phoneOf(s.book, u"张三"_qs), u"13900000001"_qs);
        QCOMPARE(namesOf(s.book).size(), 4);
    }

    void aSyncReadsOnlyTheRecordsThatMoved()
    {
        Synced s;
        s.server.listsTexts = true;
        // Reads of the book: (whole reads, records read), and the report.
        const auto syncCounting = [&s] {
            BookFile file(s.book.path);
            SyncBookFile side(file.connection, s.book.path);
            CountingBook counting(side);
            const QString summary = Synchronise(counting, s.server).summary();
            return std::tuple(counting.wholeReads, counting.recordsRead, summary);
        };
        QCOMPARE(syncCounting(), std::tuple(0, qsizetype(0), u"上传 0，下载 0，删除 0，冲突 0"_qs));
        setPhone(s.book, u"张三"_qs, u"13900000001"_qs);
        QCOMPARE(syncCounting(), std::tuple(0, qsizetype(1), u"上传 1，下载 0，删除 0，冲突 0"_qs));
        const QString href = u"/book/w.vcf"_qs;
        QByteArray text = s.server.cards[href].text;
        s.server.phonePut(href, text.replace("13800000003", "13700000003"));
        const int before = s.server.requests;
        QCOMPARE(syncCounting(), std::tuple(0, qsizetype(1), u"上传 0，下载 1，删除 0，冲突 0"_qs));
        QCOMPARE(s.server.requests - before, 1);  // the card came with the listing
        QCOMPARE(phoneOf(s.book, u"王五"_qs), u"13700000003"_qs);
        QCOMPARE(syncCounting(), std::tuple(0, qsizetype(0), u"上传 0，下载 0，删除 0，冲突 0"_qs));
    }

    // However the book was changed, and whatever became of the triggers that
    // note it, the change reaches the server.
    void aBookChangeIsFoundHoweverItWasMade()
    {
        const QString change = u"update rem set 电话 = '13911112222' where 姓名 = '张三';"_qs;
        const QStringList cases{
            change,
            u"drop trigger sync_touch_changed;"_qs + change,
            u"drop trigger sync_touch_added; drop trigger sync_touch_changed; drop table sync_touched;"_qs + change,
        };
        for (const QString& sql : cases) {
            Synced s;
            sync(s.book, s.server);
            BookFile(s.book.path).connection.Execute(sql);
            const SyncReport report = sync(s.book, s.server);
            bool found = false;
            for (const auto& c : std::as_const(s.server.cards))
                found = found || c.text.contains("13911112222");
            QVERIFY2(found && report.uploaded == 1, qPrintable(sql));
        }
    }

    void aRecordTheWindowChangesDuringASyncWaitsForTheNext()
    {
        Synced s;
        sync(s.book, s.server);
        setPhone(s.book, u"张三"_qs, u"13900000001"_qs);
        s.server.beforeWrite = [&s](const QString&) {
            s.server.beforeWrite = nullptr;
            setPhone(s.book, u"李四"_qs, u"13900000002"_qs);  // the window, while the sync uploads 张三
        };
        QCOMPARE(sync(s.book, s.server).summary(), u"上传 1，下载 0，删除 0，冲突 0"_qs);
        QCOMPARE(sync(s.book, s.server).summary(), u"上传 1，下载 0，删除 0，冲突 0"_qs);
        bool found = false;
        for (const auto& c : std::as_const(s.server.cards))
            found = found || c.text.contains("13900000002");
        QVERIFY(found);
    }

    void aFirstSyncFindsThePeopleBothSidesHold()
    {
        TestBook book;
        book.add({row(u"王五"_qs, u"13800000003"_qs, u"同学"_qs)});
        MemoryCardServer server;
        server.phonePut(u"/book/w.vcf"_qs, card(u"w"_qs, u"王五"_qs, u"13800000003"_qs));
        QCOMPARE(sync(book, server).summary(), u"上传 1，下载 0，删除 0，冲突 0"_qs);
        QCOMPARE(book.count(), 1);
        QCOMPARE(server.cards.size(), 1);
        QVERIFY(server.cards.first().text.contains("NOTE:同学"));
    }
};

QTEST_GUILESS_MAIN(SyncEngineTest)
#include "test_sync_engine.moc"
