#include "SyncAccount.h"

#include "store/SyncTables.h"

SyncAccount ReadSyncAccount(sqlite3* db)
{
    SyncAccount account;
    account.server = QUrl(SyncSetting(db, QStringLiteral("server")));
    account.user = SyncSetting(db, QStringLiteral("user"));
    account.book = QUrl(SyncSetting(db, QStringLiteral("book")));
    account.caFile = SyncSetting(db, QStringLiteral("ca-file"));
    account.allowHttp = SyncSetting(db, QStringLiteral("allow-http")) == QStringLiteral("1");
    return account;
}

void SaveSyncAccount(sqlite3* db, const SyncAccount& account)
{
    EnsureSyncTables(db);
    const QString previous = SyncSetting(db, QStringLiteral("book"));
    SetSyncSetting(db, QStringLiteral("server"), account.server.toString());
    SetSyncSetting(db, QStringLiteral("user"), account.user);
    SetSyncSetting(db, QStringLiteral("book"), account.book.toString());
    SetSyncSetting(db, QStringLiteral("ca-file"), account.caFile);
    SetSyncSetting(db, QStringLiteral("allow-http"), account.allowHttp ? QStringLiteral("1") : QStringLiteral("0"));
    if (previous != account.book.toString()) {
        // Another address book: what the last listing said is not about this one.
        SetSyncSetting(db, QStringLiteral("token"), QString());
        SetSyncSetting(db, QStringLiteral("ctag"), QString());
        SetSyncSetting(db, QStringLiteral("lists-changes"), QString());
    }
}

QString LastSync(sqlite3* db)
{
    return SyncSetting(db, QStringLiteral("last"));
}
