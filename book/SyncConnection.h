#pragma once
// What the sync command and the 同步 page share: setting the sync up from a
// server's address, and one sync with the server the book keeps, each with
// the server's password from a file, the desktop's keyring or the person.
// One sync at a time: a lock beside the book.

#include "book/BookFile.h"
#include "book/SyncBookFile.h"
#include "sync/SyncEngine.h"

#include <QUrl>
#include <functional>
#include <optional>

struct ServerAccess {
    std::optional<QString> password;              // given (a file, the page's field); else the
                                                  // keyring, else asked
    QString caFile;                               // besides the one kept
    bool allowHttp = false;                       // besides the choice kept
    std::function<std::optional<QString>()> ask;  // asks the person; nothing when nobody can be asked
    std::function<bool()> cancelled;
    int timeoutMs = 30000;
};

struct AddressBookChoice {
    QUrl url;
    QString name;
};

struct SetupOutcome {
    bool chosen = false;
    QList<AddressBookChoice> found;  // when several were found and none chosen
    QStringList lines;               // the report
};

// Finds the address books at the server for the user; takes the one found,
// or the one whose address or name is choice; keeps it, the user and the
// server in the book, and the password in the keyring when there is one.
// Raises DavError (wrong password, no answer) and Exception; nothing is then
// kept.
SetupOutcome SetUpSync(TADOConnection& book, const QUrl& server, const QString& user, const QString& choice,
                       const ServerAccess& access);

// One sync with the address book kept in the book. Raises Exception when the
// sync is not set up, another sync is running, or the server fails.
SyncReport SyncWithServer(TADOConnection& book, SyncBookFile& side, const QString& path, const ServerAccess& access,
                          const SyncOptions& options);
