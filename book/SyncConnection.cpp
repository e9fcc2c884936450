#include "SyncConnection.h"

#include "sync/CardDav.h"
#include "sync/CardDavServer.h"
#include "sync/DavClient.h"
#include "sync/ServerPassword.h"
#include "sync/SyncAccount.h"

#include <QLockFile>

namespace {

struct Password {
    QString text;
    bool fromKeyring = false;
};

Password passwordFor(const QUrl& server, const QString& user, const ServerAccess& access)
{
    if (access.password)
        return {*access.password, false};
    if (const std::optional<QString> kept = ReadPassword(user, server))
        return {*kept, true};
    if (access.ask)
        if (const std::optional<QString> typed = access.ask())
            return {*typed, false};
    throw Exception(QStringLiteral("需要服务器密码：钥匙环里没有，请用 --server-password-file 给出"));
}

DavAccount davAccount(const QUrl& url, const QString& user, const QString& password, const ServerAccess& access,
                      const SyncAccount& kept)
{
    DavAccount account;
    account.url = url;
    account.user = user;
    account.password = password;
    account.caFile = access.caFile.isEmpty() ? kept.caFile : access.caFile;
    account.allowHttp = access.allowHttp || kept.allowHttp;
    account.timeoutMs = access.timeoutMs;
    return account;
}

// The address book the person chose: by its address, its last path segment or
// its name.
std::optional<AddressBookFound> chosen(const QList<AddressBookFound>& found, const QString& choice)
{
    if (found.size() == 1 && choice.isEmpty())
        return found.first();
    for (const AddressBookFound& book : found) {
        const QString path = book.url.path();
        if (!choice.isEmpty()
            && (book.url.toString() == choice || book.name == choice || path == choice
                || path.section(u'/', -2, -2) == choice || path.section(u'/', -1) == choice))
            return book;
    }
    return std::nullopt;
}

}  // namespace

SetupOutcome SetUpSync(TADOConnection& book, const QUrl& server, const QString& user, const QString& choice,
                       const ServerAccess& access)
{
    const SyncAccount kept = ReadSyncAccount(book.Handle());
    const Password password = passwordFor(server, user, access);
    DavClient client(davAccount(server, user, password.text, access, kept));
    client.cancelled = access.cancelled;
    const QList<AddressBookFound> found = DiscoverAddressBooks(client, server);
    SetupOutcome outcome;
    if (found.isEmpty())
        throw Exception(QStringLiteral("在 %1 没有找到地址簿").arg(server.toDisplayString()));
    const std::optional<AddressBookFound> book_ = chosen(found, choice);
    if (!book_) {
        outcome.lines << (choice.isEmpty() ? QStringLiteral("找到 %1 个地址簿，请用 --book 选一个：").arg(found.size())
                                           : QStringLiteral("没有叫“%1”的地址簿；找到的是：").arg(choice));
        for (const AddressBookFound& f : found) {
            outcome.found << AddressBookChoice{f.url, f.name};
            outcome.lines << QStringLiteral("  %1  %2").arg(f.url.toString(), f.name);
        }
        return outcome;
    }
    SyncAccount account;
    account.server = server;
    account.user = user;
    account.book = book_->url;
    account.caFile = access.caFile.isEmpty() ? kept.caFile : access.caFile;
    account.allowHttp = access.allowHttp;
    InOneTransaction(book, [&] { SaveSyncAccount(book.Handle(), account); });
    outcome.chosen = true;
    outcome.lines << QStringLiteral("同步已设置：%1 的地址簿 %2").arg(user, book_->url.toString());
    if (!password.fromKeyring) {
        outcome.lines << (StorePassword(user, server, password.text) == KeyringAnswer::Stored
                              ? QStringLiteral("服务器密码已存入桌面的钥匙环")
                              : QStringLiteral("没有可用的钥匙环：每次同步都需要给出服务器密码"));
    }
    return outcome;
}

SyncReport SyncWithServer(TADOConnection& book, SyncBookFile& side, const QString& path, const ServerAccess& access,
                          const SyncOptions& options)
{
    QLockFile lock(path + QStringLiteral(".sync-lock"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0))
        throw Exception(QStringLiteral("另一个同步正在进行，请等它结束"));
    const SyncAccount account = ReadSyncAccount(book.Handle());
    if (!account.isSetUp())
        throw Exception(QStringLiteral("还没有设置同步：请先运行 tessaly-book sync "
                                       "--setup 服务器地址 --user 用户名"));
    const Password password = passwordFor(account.server, account.user, access);
    DavClient client(davAccount(account.book, account.user, password.text, access, account));
    client.cancelled = options.cancelled;
    CardDavServer server(client, account.book);
    return Synchronise(side, server, options);
}
