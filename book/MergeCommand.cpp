// merge --into KEPT OTHER...: records duplicates listed made one, after a backup.
// Only records whose contents are still what duplicates listed are taken:
// one changed or deleted since (by the window, another run) refuses the merge.

#include "book/Commands.h"
#include "book/DuplicateBook.h"

namespace {

QList<qint64> mergeNumbers(const QStringList& arguments)
{
    const QString name = QStringLiteral("merge");
    QStringList rest = arguments;
    const std::optional<QString> into = TakeOptionValue(name, rest, QStringLiteral("--into"));
    const QStringList others = SplitArguments(name, rest).operands;
    if (!into || others.isEmpty())
        throw UsageError(QStringLiteral("merge 需要 --into 编号，以及至少一个要并入的编号"));
    QList<qint64> numbers{RecordNumber(name, *into)};
    for (const QString& other : others) {
        const qint64 number = RecordNumber(name, other);
        if (numbers.contains(number))
            throw UsageError(QStringLiteral("merge 的编号 %1 给了两次").arg(number));
        numbers << number;
    }
    return numbers;
}

}  // namespace

int RunMerge(BookRun& run, const QStringList& arguments)
{
    const QList<qint64> numbers = mergeNumbers(arguments);
    BookFile book(run.database, &run);
    const MergeOutcome merged = MergeListed(book, run.database, numbers);
    QStringList others;
    for (qint64 other : numbers.mid(1))
        others << QString::number(other);
    run.console.out(
        QStringLiteral("已把编号 %1 并入编号 %2（%3）；合并前的通讯录已备份到 %4，恢复它即可撤销合并")
            .arg(others.join(u'、'), QString::number(numbers.first()), merged.name, ShownPath(merged.backup)));
    if (merged.keptAside > 0)
        run.console.out(QStringLiteral("备注已满：%1 项另行保存，导出时一并写出").arg(merged.keptAside));
    return ExitCode::Success;
}
