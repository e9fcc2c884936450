// sync: the book kept in step with an address book on a CardDAV server.
//   sync --setup 地址 --user 用户名 [--book 地址簿]   find the address book and
//   keep where it is sync [--dry-run] [--allow-deletes]                 one
//   sync, both ways sync --conflicts                                   the
//   records waiting for a pick sync --take book|server 编号 [--field 字段] pick
//   a side, then sync
// Every form also takes --server-password-file FILE, --ca-file FILE and
// --allow-http.

#include "book/BookGate.h"
#include "book/Commands.h"
#include "book/SyncConnection.h"
#include "sync/SyncEngine.h"

namespace {

const QString name = QStringLiteral("sync");

struct SyncArguments {
    std::optional<QString> setup, user, book, caFile, passwordFile, take, field, number;
    bool dryRun = false, allowDeletes = false, allowHttp = false, conflicts = false;
};

SyncArguments parse(QStringList rest)
{
    SyncArguments a;
    a.setup = TakeOptionValue(name, rest, QStringLiteral("--setup"));
    a.user = TakeOptionValue(name, rest, QStringLiteral("--user"));
    a.book = TakeOptionValue(name, rest, QStringLiteral("--book"));
    a.caFile = TakeOptionValue(name, rest, QStringLiteral("--ca-file"));
    a.passwordFile = TakeOptionValue(name, rest, QStringLiteral("--server-password-file"));
    a.take = TakeOptionValue(name, rest, QStringLiteral("--take"));
    a.field = TakeOptionValue(name, rest, QStringLiteral("--field"));
    const CommandArguments split = SplitArguments(name, rest,
                                                  {QStringLiteral("--dry-run"), QStringLiteral("--allow-deletes"),
                                                   QStringLiteral("--allow-http"), QStringLiteral("--conflicts")});
    a.dryRun = split.has(QStringLiteral("--dry-run"));
    a.allowDeletes = split.has(QStringLiteral("--allow-deletes"));
    a.allowHttp = split.has(QStringLiteral("--allow-http"));
    a.conflicts = split.has(QStringLiteral("--conflicts"));
    if (a.setup && !a.user)
        throw UsageError(QStringLiteral("sync --setup 还需要 --user 用户名"));
    if (a.take) {
        if (*a.take != QStringLiteral("book") && *a.take != QStringLiteral("server"))
            throw UsageError(QStringLiteral("sync --take 只能是 book（通讯录）或 server（服务器）"));
        if (split.operands.size() != 1)
            throw UsageError(QStringLiteral("sync --take 需要一个冲突的编号（见 sync --conflicts）"));
        a.number = split.operands.first();
    } else if (!split.operands.isEmpty()) {
        throw UsageError(QStringLiteral("sync 不接受文件参数：%1").arg(split.operands.first()));
    }
    if (a.field && !a.take)
        throw UsageError(QStringLiteral("sync --field 只与 --take 一起用"));
    return a;
}

std::optional<SyncField> fieldNamed(const QString& text)
{
    for (int i = 0; i < SyncFieldCount; ++i)
        if (SyncFieldName(SyncField(i)) == text)
            return SyncField(i);
    throw UsageError(QStringLiteral("sync --field "
                                    "不认得“%1”：可以是类别、姓名、生日、电话、QQ、地址、备注或照片")
                         .arg(text));
}

void printConflicts(BookRun& run, SyncBook& book)
{
    const QList<SyncConflict> conflicts = ReadSyncConflicts(book);
    if (conflicts.isEmpty())
        return run.console.out(QStringLiteral("没有待选择的同步冲突"));
    for (const SyncConflict& c : conflicts) {
        run.console.out(QStringLiteral("编号 %1  %2").arg(c.rec).arg(c.book.text(ContactText::Name)));
        for (SyncField f : c.fields)
            run.console.out(QStringLiteral("  %1：通讯录“%2”  服务器“%3”")
                                .arg(SyncFieldName(f), FieldText(c.book, f), FieldText(c.server, f)));
    }
    run.console.out(QStringLiteral("用 sync --take book 编号 保留通讯录的，或 "
                                   "sync --take server 编号 保留服务器的"));
}

ServerAccess accessOf(BookRun& run, const SyncArguments& a)
{
    ServerAccess access;
    if (a.passwordFile)
        access.password = SecretFromFile(run.console, *a.passwordFile);
    if (a.caFile)
        access.caFile = *a.caFile;
    access.allowHttp = a.allowHttp;
    access.ask = [&run]() -> std::optional<QString> {
        if (!run.console.canAsk())
            return std::nullopt;
        return run.console.askHidden(QStringLiteral("服务器密码："));
    };
    return access;
}

int setUp(BookRun& run, TADOConnection& book, const SyncArguments& a)
{
    const SetupOutcome outcome =
        SetUpSync(book, QUrl::fromUserInput(*a.setup), *a.user, a.book.value_or(QString()), accessOf(run, a));
    for (const QString& line : outcome.lines)
        run.console.out(line);
    return outcome.chosen ? ExitCode::Success : ExitCode::Failure;
}

}  // namespace

int RunSync(BookRun& run, const QStringList& arguments)
{
    const SyncArguments a = parse(arguments);
    if (a.allowHttp)
        run.console.err(
            QStringLiteral("注意：--allow-http 让服务器密码和联系人以明文经网络传送，途经的任何人都能看到和改动"));
    // The connection only: a sync reads the records it needs, often none.
    TADOConnection book{QStringLiteral("通讯录")};
    OpenBookConnection(book, run);
    if (a.setup)
        return setUp(run, book, a);
    SyncBookFile side(book, run.database);
    if (a.conflicts) {
        printConflicts(run, side);
        return ExitCode::Success;
    }
    if (a.take)
        ChooseSyncSide(side, RecordNumber(name, *a.number),
                       *a.take == QStringLiteral("book") ? Side::Book : Side::Server,
                       a.field ? fieldNamed(*a.field) : std::nullopt);
    SyncOptions options;
    options.dryRun = a.dryRun;
    options.allowDeletes = a.allowDeletes;
    const SyncReport report = SyncWithServer(book, side, run.database, accessOf(run, a), options);
    for (const QString& line : report.lines)
        run.console.out(line);
    if (report.stoppedForDeletes) {
        run.console.err(report.deletesWarning);
        return ExitCode::Failure;
    }
    if (!report.backup.isEmpty())
        run.console.out(QStringLiteral("同步删除联系人之前，通讯录已备份到 %1").arg(ShownPath(report.backup)));
    run.console.out(a.dryRun ? QStringLiteral("（试运行，两边都没有改动）") + report.summary() : report.summary());
    return ExitCode::Success;
}
