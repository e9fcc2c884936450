// Contacts are private: the book, its journal and a backup are their owner's
// only whatever the umask, and an existing book keeps the mode it has.

#include "store/Backup.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "tests/support/ContactBook.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

namespace {

mode_t modeOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return mode_t(-1);
    return info.st_mode & 07777;
}

// The process umask for a scope.
class Umask {
public:
    explicit Umask(mode_t mask) : old_(::umask(mask)) {}
    ~Umask() { ::umask(old_); }

private:
    mode_t old_;
};

}  // namespace

class FileModesTest : public QObject {
    Q_OBJECT

private slots:
    void shouldCreateTheBookJournalAndBackupForTheOwnerOnly_data()
    {
        QTest::addColumn<int>("umask");
        QTest::newRow("022, the usual") << 022;
        QTest::newRow("0, open to all") << 0;
        QTest::newRow("077, already strict") << 077;
    }

    void shouldCreateTheBookJournalAndBackupForTheOwnerOnly()
    {
        QFETCH(int, umask);
        const Umask scoped{mode_t(umask)};
        ContactBook book;  // made as the window's first run makes it
        const QString path = book.folder.databasePath();
        QCOMPARE(modeOf(path), mode_t(0600));

        book.connection.BeginTrans();
        book.addNames({QStringLiteral("张三")});
        QCOMPARE(modeOf(path + QStringLiteral("-journal")), mode_t(0600));
        book.connection.CommitTrans();

        const QString copy = book.folder.file(QStringLiteral("copy.mdb"));
        BackupDatabase(book.connection, copy, ContactSchema::DatabasePassword());
        QCOMPARE(modeOf(copy), mode_t(0600));
    }

    void shouldLeaveAnExistingBookItsMode()
    {
        ContactBook book;
        const QString path = book.folder.databasePath();
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0644), 0);
        book.reopen();
        book.addNames({QStringLiteral("李四")});
        QCOMPARE(modeOf(path), mode_t(0644));
    }
};

QTEST_GUILESS_MAIN(FileModesTest)
#include "test_file_modes.moc"
