#pragma once
// What a column's declared type tells the recordset: text or blob, its width,
// and whether values come back padded (char(n), not varchar(n)).

#include <QString>
#include <vector>

struct sqlite3_stmt;

struct ColumnInfo {
    QString name;
    bool blob = false;
    int width = 0;        // 0: no width declared
    bool padded = false;  // char(n): values read back padded with blanks to n
};

ColumnInfo DescribeColumn(const QString& name, const QString& declaredType);
// Every column of a prepared statement, by its name and declared type.
std::vector<ColumnInfo> DescribeColumns(sqlite3_stmt* statement);

// Why the text does not fit the column ("字段 电话 最多 15 个字符"), or a null
// QString when it does: a width counts code points.
QString WidthFault(const ColumnInfo& column, const QString& text);

// The table of a query text of the form "select * from <table>", or a null QString.
QString TableOfSelectAll(const QString& sql);

// An identifier quoted for SQLite.
QString QuoteIdentifier(const QString& name);
