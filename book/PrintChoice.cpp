#include "PrintChoice.h"

#include "book/BookErrors.h"

#include <QRegularExpression>

namespace {

unsigned bit(PrintColumn column)
{
    return 1u << unsigned(column);
}

}  // namespace

PrintChoice::PrintChoice()
{
    // Everything but 备注, which holds whatever an import could not place.
    for (PrintColumn column : {PrintColumn::Category, PrintColumn::Phone, PrintColumn::QQ, PrintColumn::Birthday,
                               PrintColumn::Address, PrintColumn::Mail, PrintColumn::Photo})
        columns |= bit(column);
}

bool PrintChoice::shows(PrintColumn column) const
{
    if (!PrintColumnApplies(style, column))
        return false;
    return !PrintColumnOptional(style, column) || (columns & bit(column)) != 0;
}

void PrintChoice::show(PrintColumn column, bool shown)
{
    columns = shown ? columns | bit(column) : columns & ~bit(column);
}

QString PrintStyleName(PrintStyle style)
{
    return style == PrintStyle::List ? QStringLiteral("通讯录") : QStringLiteral("名片");
}

std::optional<PrintStyle> PrintStyleNamed(const QString& name)
{
    for (PrintStyle style : {PrintStyle::List, PrintStyle::Cards})
        if (name == PrintStyleName(style))
            return style;
    return std::nullopt;
}

QString PrintColumnName(PrintColumn column)
{
    static const QStringList names{QStringLiteral("类别"), QStringLiteral("电话"), QStringLiteral("QQ"),
                                   QStringLiteral("生日"), QStringLiteral("地址"), QStringLiteral("邮箱"),
                                   QStringLiteral("备注"), QStringLiteral("照片")};
    return names.at(int(column));
}

unsigned PrintColumnsNamed(const QString& list)
{
    unsigned columns = 0;
    for (const QString& name : list.split(QRegularExpression(QStringLiteral("[,，、]")), Qt::SkipEmptyParts)) {
        int found = -1;
        for (int c = 0; c < PrintColumnCount; ++c)
            if (PrintColumnName(PrintColumn(c)).compare(name.trimmed(), Qt::CaseInsensitive) == 0)
                found = c;
        if (found < 0) {
            QStringList known;
            for (int c = 0; c < PrintColumnCount; ++c)
                known << PrintColumnName(PrintColumn(c));
            throw UsageError(QStringLiteral("export 的 --columns 不认识“%1”：可选 %2").arg(name, known.join(u',')));
        }
        columns |= bit(PrintColumn(found));
    }
    return columns;
}

bool PrintColumnOptional(PrintStyle style, PrintColumn column)
{
    return !(style == PrintStyle::List && column == PrintColumn::Phone);
}

bool PrintColumnApplies(PrintStyle style, PrintColumn column)
{
    return style == PrintStyle::Cards || column != PrintColumn::Photo;
}
