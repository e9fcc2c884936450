#include "ColumnInfo.h"

#include "store/TextWidth.h"

#include <sqlcipher/sqlite3.h>

#include <QRegularExpression>

ColumnInfo DescribeColumn(const QString& name, const QString& declaredType)
{
    ColumnInfo info;
    info.name = name;
    const QString type = declaredType.trimmed().toLower();
    static const QStringList blobTypes{QStringLiteral("image"),      QStringLiteral("blob"),
                                       QStringLiteral("longbinary"), QStringLiteral("binary"),
                                       QStringLiteral("varbinary"),  QStringLiteral("longblob")};
    const QString baseType = type.section(QLatin1Char('('), 0, 0).trimmed();
    if (blobTypes.contains(baseType)) {
        info.blob = true;
        return info;
    }
    static const QRegularExpression widthPattern(QStringLiteral("^(\\w+)\\s*\\(\\s*(\\d+)\\s*\\)$"));
    const QRegularExpressionMatch m = widthPattern.match(type);
    if (m.hasMatch()) {
        info.width = m.captured(2).toInt();
        const QString kind = m.captured(1);
        info.padded =
            kind == QLatin1String("char") || kind == QLatin1String("character") || kind == QLatin1String("nchar");
    }
    return info;
}

std::vector<ColumnInfo> DescribeColumns(sqlite3_stmt* statement)
{
    std::vector<ColumnInfo> columns;
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        const char* declared = sqlite3_column_decltype(statement, i);
        columns.push_back(DescribeColumn(QString::fromUtf8(sqlite3_column_name(statement, i)),
                                         QString::fromUtf8(declared ? declared : "")));
    }
    return columns;
}

QString WidthFault(const ColumnInfo& column, const QString& text)
{
    // Code units are never fewer than code points: most texts need no count.
    if (column.blob || column.width <= 0 || text.size() <= column.width || CodePointCount(text) <= column.width)
        return {};
    return QStringLiteral("字段 %1 最多 %2 个字符").arg(column.name).arg(column.width);
}

QString TableOfSelectAll(const QString& sql)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+([^\\s;]+)\\s*;?\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = pattern.match(sql);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString QuoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
