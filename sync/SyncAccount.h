#pragma once
// Where the book syncs to, as kept in the book file: the server the person
// gave, the user, the address book found there and how to reach it. The
// server's password is never among them (ServerPassword.h keeps it).

#include <QString>
#include <QUrl>
#include <sqlcipher/sqlite3.h>

struct SyncAccount {
    QUrl server;  // as the person gave it
    QString user;
    QUrl book;       // the address book found from it
    QString caFile;  // a certificate to trust besides the system's
    bool allowHttp = false;

    bool isSetUp() const { return book.isValid() && !book.isEmpty(); }
};

SyncAccount ReadSyncAccount(sqlite3* db);
// Creates the sync's tables when needed. Raises EDatabaseError.
void SaveSyncAccount(sqlite3* db, const SyncAccount& account);

// The last sync as the 同步 page shows it: when, and its counts; empty when none.
QString LastSync(sqlite3* db);
