// The 同步 page on a real book, with an address book in memory in place of
// the server: a sync on its own thread, its report, a conflict picked side by
// side, 取消 that leaves both sides consistent.

#include "book/tools/ProgressPanel.h"
#include "book/tools/SyncPage.h"
#include "tests/book/tools/ToolsTesting.h"
#include "tests/sync/MemoryCardServer.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

namespace {

QByteArray card(const QString& phone)
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:w\r\nFN:王五\r\nN:王;五;;;\r\nTEL;TYPE=CELL:" + phone.toUtf8()
           + "\r\nEND:VCARD\r\n";
}

// The page with the memory server behind it, after one sync that brought 王五 into the book.
struct SyncRun : ToolsRun {
    MemoryCardServer server;
    SyncPage* page = nullptr;
    SyncRun()
    {
        server.phonePut(u"/book/w.vcf"_qs, card(u"13800000003"_qs));
        page = show<SyncPage>(u"sync"_qs);
        page->progress()->showAfterMs = 0;
        page->backend.sync = [this](TADOConnection&, SyncBookFile& side, const QString&, const ServerAccess&,
                                    const SyncOptions& options) { return Synchronise(side, server, options); };
        syncAndWait();
    }
    void syncAndWait()
    {
        QSignalSpy ended(page, &SyncPage::jobEnded);
        QTest::mouseClick(page->syncButton(), Qt::LeftButton);
        QVERIFY(page->busy() && !page->syncButton()->isEnabled());
        QVERIFY(ended.wait(10000));
    }
};

}  // namespace

class SyncPageTest : public QObject {
    Q_OBJECT

private slots:
    void aSyncReportsAndAConflictIsPickedSideBySide()
    {
        SyncRun run;
        QVERIFY(run.page->report()->toPlainText().endsWith(u"上传 0，下载 1，删除 0，冲突 0"_qs));
        QCOMPARE(run.book.count(), 1);

        BookFile(run.book.path).connection.Execute(u"update rem set 电话 = '13911111111'"_qs);
        run.server.phonePut(u"/book/w.vcf"_qs, card(u"13722222222"_qs));
        run.syncAndWait();
        QVERIFY(run.page->report()->toPlainText().endsWith(u"冲突 1"_qs));
        QTableWidget* table = run.page->conflicts();
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 1)->text(), u"电话"_qs);
        QCOMPARE(table->item(0, 2)->text(), u"13911111111"_qs);
        QCOMPARE(table->item(0, 3)->text(), u"13722222222"_qs);
        qobject_cast<QComboBox*>(table->cellWidget(0, 4))->setCurrentIndex(2);  // 服务器的
        QSignalSpy ended(run.page, &SyncPage::jobEnded);
        QTest::mouseClick(run.page->keepButton(), Qt::LeftButton);
        QVERIFY(ended.wait(10000));
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(run.book.texts().first()[size_t(ContactText::Phone)], u"13722222222"_qs);
        QVERIFY(run.page->lastSync()->text().contains(u"下载 1"_qs));
    }

    void cancelLeavesBothSidesAsTheyWere()
    {
        SyncRun run;
        run.page->backend.sync = [](TADOConnection&, SyncBookFile&, const QString&, const ServerAccess&,
                                    const SyncOptions& options) -> SyncReport {
            while (!options.cancelled())
                QThread::msleep(5);
            throw SyncCancelled();
        };
        QSignalSpy ended(run.page, &SyncPage::jobEnded);
        QTest::mouseClick(run.page->syncButton(), Qt::LeftButton);
        QTRY_VERIFY(run.page->progress()->cancelButton()->isVisible());
        QTest::mouseClick(run.page->progress()->cancelButton(), Qt::LeftButton);
        QVERIFY(ended.wait(10000));
        QVERIFY(run.said().contains(u"同步已取消"_qs));
        QVERIFY(run.page->syncButton()->isEnabled());
        QCOMPARE(run.book.count(), 1);
    }
};

QTEST_MAIN(SyncPageTest)
#include "test_sync_page.moc"
