// The helpers every command reads its own arguments with.

#include "CommandRun.h"

CommandArguments SplitArguments(const QString& command, const QStringList& arguments, const QStringList& knownFlags)
{
    CommandArguments split;
    bool flags = true;
    for (const QString& a : arguments) {
        if (flags && a == QStringLiteral("--")) {
            flags = false;
        } else if (flags && a.startsWith(u'-') && a.size() > 1) {
            if (!knownFlags.contains(a))
                throw UsageError(QStringLiteral("%1 不认识选项 %2").arg(command, a));
            if (!split.flags.contains(a))
                split.flags << a;
        } else {
            split.operands << a;
        }
    }
    return split;
}

qint64 RecordNumber(const QString& command, const QString& text)
{
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    if (!ok || number <= 0 || text != QString::number(number))
        throw UsageError(QStringLiteral("%1 的编号应是 list --numbers 第一列的数字，而不是 %2").arg(command, text));
    return number;
}

std::optional<QString> TakeOptionValue(const QString& command, QStringList& arguments, const QString& option)
{
    std::optional<QString> value;
    const QString joined = option + u'=';
    for (qsizetype i = 0; i < arguments.size() && arguments.at(i) != u"--"_qs;) {
        const QString& a = arguments.at(i);
        if (a != option && !a.startsWith(joined)) {
            ++i;
            continue;
        }
        if (value)
            throw UsageError(QStringLiteral("%1 的选项 %2 只能给一次").arg(command, option));
        const bool separate = a == option;
        value = separate ? (i + 1 < arguments.size() ? arguments.at(i + 1) : QString()) : a.mid(joined.size());
        if (value->isEmpty())
            throw UsageError(QStringLiteral("%1 的选项 %2 后面缺少值").arg(command, option));
        arguments.remove(i, separate ? 2 : 1);
    }
    return value;
}
