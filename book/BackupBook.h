#pragma once
// Backups of the book: made with SQLite's online backup and checked, listed
// beside the book, and put back in its place. Shared by the backup command and
// the tools window.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Kalvo-年月日-时分秒.mdb beside the book.
QString DefaultBackupPath(const QString& book, const QDateTime& when);
// The default name, or with -2, -3, … before .mdb when that file exists already.
QString FreeBackupPath(const QString& book, const QDateTime& when);

struct BookRun;

// A checked copy of the book at target; never over an existing file. Answers
// the report's line. Raises EDatabaseError; no file is then left. With a run,
// only after its login password opened the book (see BookFile).
QString BackupBook(const QString& book, const QString& target, BookRun* gate = nullptr);

struct BackupEntry {
    QString path;
    QDateTime when;     // from the name, else the file's time
    qint64 size = 0;    // bytes
    int contacts = -1;  // -1 when the file does not open as a book
};

// The backups beside the book (Kalvo-*.mdb), newest first.
QList<BackupEntry> BackupsBeside(const QString& book);

// Puts a backup in the book's place: refused while another process holds the
// book; the backup is checked first and the current book backed up beside it;
// the restored book is checked again. Answers the report's lines. Raises
// EDatabaseError or ExchangeError, and the book is then as it was.
QStringList RestoreBackup(const QString& book, const QString& backup);
