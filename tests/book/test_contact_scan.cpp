// Reading every record of a book once: the visit after SQLite's read and the
// visit inside it give the same records, and what a visit inside throws comes
// out as it was thrown, leaving the connection to read again.

#include "book/BookFile.h"
#include "book/ContactScan.h"
#include "tests/book/BookTesting.h"

#include <QTest>

namespace {

using Visited = QList<std::pair<qint64, ContactTexts>>;

Visited scanned(TADOConnection& connection, RecordVisit when)
{
    Visited visited;
    ScanRecordTexts(
        connection,
        [&](const ContactTexts& texts, const QList<DraftExtra>&, qint64 rowid) {
            visited.append({rowid, texts});
        },
        when);
    return visited;
}

}  // namespace

class ContactScanTest : public QObject {
    Q_OBJECT

    TestBook book_;

private slots:
    void initTestCase()
    {
        book_.add({{"朋友", "  张三  ", "1990-01-02", "138 0013 8000"},
                   {"同事", QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()},
                   {"客户", "Li Lei", "", "010-1234", "", "Zhongshan Rd", "备注"}});
    }

    void shouldVisitTheSameRecordsInsideTheReadAsAfterIt()
    {
        BookFile book(book_.path);
        const Visited after = scanned(book.connection, RecordVisit::AfterTheRead);
        QCOMPARE(after.size(), 3);
        QCOMPARE(after[0].second[1], QStringLiteral("张三"));
        QCOMPARE(scanned(book.connection, RecordVisit::InsideTheRead), after);
    }

    void shouldThrowWhatTheVisitThrewAndReadAgainAfterwards()
    {
        BookFile book(book_.path);
        int visits = 0;
        try {
            ScanRecordTexts(
                book.connection,
                [&](const ContactTexts&, const QList<DraftExtra>&, qint64) {
                    if (++visits == 2)
                        throw Exception(QStringLiteral("第二个"));
                },
                RecordVisit::InsideTheRead);
            QFAIL("nothing thrown");
        } catch (const Exception& e) {
            QCOMPARE(e.Message, QStringLiteral("第二个"));
        }
        QCOMPARE(visits, 2);
        QCOMPARE(scanned(book.connection, RecordVisit::InsideTheRead).size(), 3);
    }
};

QTEST_GUILESS_MAIN(ContactScanTest)
#include "test_contact_scan.moc"
