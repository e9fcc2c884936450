// backup: a checked copy with the same key, never over a file, also while another program writes.

#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "tests/book/BookTesting.h"

#include <QRegularExpression>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

QString DefaultBackupPath(const QString& book, const QDateTime& when);

class BackupTest : public QObject {
    Q_OBJECT

private slots:
    void shouldCopyTheBookWithItsKeyAndPhotos()
    {
        TestBook book;
        const QByteArray photo("\xff\xd8\xff\xe0 photo bytes \xff\xd9", 19);
        book.add({{QStringLiteral("朋友"), QStringLiteral("张三"), QString(), QStringLiteral("110"), QString(),
                   QString(), QString(), photo},
                  {QString(), QStringLiteral("李四")}});
        const QString copy = book.folder.file(QStringLiteral("copy.mdb"));
        const BookResult result = book.run({QStringLiteral("backup"), copy});
        QCOMPARE(result.status, ExitCode::Success);
        QCOMPARE(result.out, QStringList{QStringLiteral("已备份到 %1：检查正常，2 个联系人").arg(copy)});

        BookFile backup(copy);
        QCOMPARE(backup.texts(), book.texts());
        QCOMPARE(backup.contacts().first().photo, photo);
        // Nothing but the book and its copy: the copy's working name is gone.
        QCOMPARE(book.files(), (QStringList{QStringLiteral("Kalvo.mdb"), QStringLiteral("copy.mdb")}));
    }

    void shouldNameTheDefaultCopyAfterTheTimeBesideTheBook()
    {
        const QDateTime when(QDate(2024, 3, 5), QTime(7, 8, 9));
        QCOMPARE(DefaultBackupPath(QStringLiteral("/home/li/书/Kalvo.mdb"), when),
                 QStringLiteral("/home/li/书/Kalvo-20240305-070809.mdb"));

        TestBook book;
        QCOMPARE(book.run({QStringLiteral("backup")}).status, ExitCode::Success);
        const QStringList files = book.files();
        QCOMPARE(files.size(), 2);
        QVERIFY2(QRegularExpression(QStringLiteral("^Kalvo-\\d{8}-\\d{6}\\.mdb$")).match(files.first()).hasMatch(),
                 qPrintable(files.first()));
    }

    void shouldNeverOverwriteAFile()
    {
        TestBook book;
        const QString taken = book.folder.file(QStringLiteral("taken.mdb"));
        TestFolder::writeAll(taken, "precious");
        const BookResult result = book.run({QStringLiteral("backup"), taken});
        QCOMPARE(result.status, ExitCode::Failure);
        QVERIFY2(result.err.first().contains(QStringLiteral("已存在")), qPrintable(result.err.first()));
        QCOMPARE(TestFolder::readAll(taken), QByteArray("precious"));
        QCOMPARE(book.files(), (QStringList{QStringLiteral("Kalvo.mdb"), QStringLiteral("taken.mdb")}));
    }

    void shouldTakeAWholeCopyWhileAnotherProgramWrites()
    {
        TestBook book;
        std::atomic<bool> stop{false};
        std::atomic<int> written{0};
        // A second program on the same file, adding one record per transaction.
        std::thread writer([&] {
            TADOConnection connection(QStringLiteral("ADOConnection2"));
            TADOQuery query(QStringLiteral("ADOQuery2"));
            query.Connection = &connection;
            if (!OpenJetDatabase(connection, book.path, ContactSchema::DatabasePassword())
                || !OpenTable(query, ContactSchema::ContactTable()))
                return;
            while (!stop && written < 2000) {
                try {
                    query.AppendRecord({QStringLiteral("并发"), QStringLiteral("第%1位").arg(written.load())});
                    ++written;
                    // A pause between transactions, as a real program leaves: without it a loaded machine can
                    // starve the copy's reads past their busy timeout.
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                } catch (const EDatabaseError&) {
                    // busy while the copy reads: try again
                }
            }
        });
        while (written < 20)
            std::this_thread::yield();
        for (int i = 0; i < 3; ++i) {
            const QString copy = book.folder.file(QStringLiteral("copy%1.mdb").arg(i));
            const int before = written;
            const BookResult result = book.run({QStringLiteral("backup"), copy});
            const int after = written;
            QVERIFY2(result.status == ExitCode::Success, qPrintable(result.err.join(u'\n')));
            // The copy holds a state the book had: every record up to some moment, each whole.
            const QList<ContactTexts> texts = BookFile(copy).texts();
            QVERIFY2(texts.size() >= before && texts.size() <= after + 1,
                     qPrintable(QStringLiteral("%1 <= %2 <= %3").arg(before).arg(texts.size()).arg(after)));
            for (int row = 0; row < texts.size(); ++row)
                QCOMPARE(texts[row][1], QStringLiteral("第%1位").arg(row));
        }
        stop = true;
        writer.join();
    }
};

QTEST_GUILESS_MAIN(BackupTest)
#include "test_backup.moc"
