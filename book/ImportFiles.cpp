#include "ImportFiles.h"

#include "book/BookFile.h"
#include "book/BookGate.h"
#include "book/BookWrite.h"
#include "book/ContactScan.h"
#include "book/KeptValues.h"
#include "exchange/Formats.h"
#include "exchange/SpoolFile.h"
#include "platform/OtherHolders.h"
#include "store/ContactSchema.h"

#include <QFileInfo>

QString UnimportableReason(const QString& file)
{
    if (FindImportFormat(file))
        return {};
    return QStringLiteral("不能导入 %1：支持的文件类型为 %2").arg(ShownPath(file), ImportPatterns().join(u' '));
}

namespace {

// The file's drafts into a spool of their own; a format that only reads whole
// gives its drafts up one by one as they go in.
ImportSource spooledFile(const QString& file, const std::shared_ptr<SpoolFile>& spoolFile)
{
    const ImportFormat* format = FindImportFormat(file);
    auto spool = std::make_shared<DraftSpool>(spoolFile);
    ImportSource source{QFileInfo(file).fileName(), {}, spool};
    if (format->stream) {
        source.cards.notes = format->stream(file, *spool);
    } else {
        DraftSet read = format->read(file);
        for (ContactDraft& draft : read.drafts)
            spool->take(std::move(draft));
        spool->failures = std::move(read.failures);
        source.cards.notes = std::move(read.notes);
    }
    source.cards.failures = std::move(spool->failures);
    return source;
}

}  // namespace

QList<ImportSource> ReadImportFiles(const QStringList& files, const std::function<void(int)>& fileRead)
{
    QList<ImportSource> sources;
    const auto spoolFile = std::make_shared<SpoolFile>();
    for (const QString& file : files) {
        sources.push_back(spooledFile(file, spoolFile));
        if (fileRead)
            fileRead(int(sources.size()));
    }
    return sources;
}

ImportPlan PlanBookImport(const QString& path, const QList<ImportSource>& sources, BookRun* gate)
{
    // The widths come from the columns alone; the records are read once, texts only.
    TADOConnection connection(QStringLiteral("通讯录"));
    OpenBookConnection(connection, path);
    if (gate)
        UnlockBook(*gate, LoginCheck(connection));
    TADOQuery columns(QStringLiteral("联系人"));
    columns.Connection = &connection;
    columns.SQL.append(QStringLiteral("select * from %1 where 0").arg(ContactSchema::ContactTable()));
    columns.Open();
    const ColumnWidths widths = ContactWidths(columns);
    columns.Close();

    return PlanImport(sources, widths, BookHoldings(connection.Handle()));
}

void WriteImport(const QString& path, const ImportPlan& plan, const WriteProgress& progress)
{
    if (plan.toAdd.isEmpty())
        return;
    TADOConnection connection(QStringLiteral("通讯录"));
    OpenBookConnection(connection, path);
    AddContacts(connection, plan.toAdd, progress);
}

QStringList ImportClosingLines(const QString& path, const ImportPlan& plan, bool bookCreated)
{
    QStringList lines;
    if (bookCreated)
        lines << QStringLiteral("新建了通讯录 %1").arg(ShownPath(path));
    if (plan.added() > 0 && !OtherHolders(path).isEmpty())
        lines << QStringLiteral("通讯录正被 Tessaly 窗口打开：联系人已存入，窗口下次启动后才会显示。");
    lines << ImportSummary(plan, true);
    return lines;
}
