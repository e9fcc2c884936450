#include "ContactSchema.h"

#include "store/ContactColumns.h"

namespace ContactSchema {

const QString& DatabasePassword()
{
    static const QString password = QStringLiteral("tavmeri");
    return password;
}

const QString& ContactTable()
{
    static const QString table = QStringLiteral("rem");
    return table;
}

const QString& CreateContactTable()
{
    static const QString statement = QStringLiteral(
        "create table rem(类别 char(10),姓名 char(10),生日 char(15),电话 char(15),QQ char(15),地址 char(30),"
        "备注 char(100),jpg image )");
    return statement;
}

const std::vector<ColumnInfo>& ContactColumns()
{
    // "create table rem(name type,name type,...)": no declared type holds a comma.
    static const std::vector<ColumnInfo> columns = [] {
        const QString& statement = CreateContactTable();
        const qsizetype open = statement.indexOf(u'(');
        std::vector<ColumnInfo> described;
        for (const QString& column : statement.mid(open + 1, statement.lastIndexOf(u')') - open - 1).split(u',')) {
            const QString declared = column.trimmed();
            const qsizetype space = declared.indexOf(u' ');
            described.push_back(DescribeColumn(declared.left(space), declared.mid(space + 1)));
        }
        return described;
    }();
    return columns;
}

const QString& PasswordTable()
{
    static const QString table = QStringLiteral("pass");
    return table;
}

const QString& CreatePasswordTable()
{
    static const QString statement = QStringLiteral("create table pass(mm char(50))");
    return statement;
}

const QString& CountTable()
{
    static const QString table = QStringLiteral("remcount");
    return table;
}

const QStringList& CreateCountKeeping()
{
    static const QStringList statements{
        QStringLiteral("create table remcount(n integer not null)"),
        // Before the insert, so that a row it replaces (or an insert ignored for the
        // rowid it names) counts once: deleting a replaced row fires no trigger.
        QStringLiteral("create trigger remcount_insert before insert on rem begin update remcount set n = n + 1 - "
                       "(select count(*) from rem where rowid = new.rowid); end"),
        QStringLiteral("create trigger remcount_delete after delete on rem begin update remcount set n = n - 1; end"),
    };
    return statements;
}

const QString& CreateKeptKeeping()
{
    static const QString statements = QStringLiteral(
        "create table if not exists kept(rec integer not null, label text not null, value text not null);"
        "create index if not exists kept_rec on kept(rec);"
        "create trigger if not exists kept_leaves_with_rem after delete on rem "
        "begin delete from kept where rec = old.rowid; end;");
    return statements;
}

const QString& CreateListedTable()
{
    static const QString statement =
        QStringLiteral("create table if not exists listed(rec integer primary key, digest text not null);");
    return statement;
}

const QString& CreateApartTable()
{
    static const QString statement =
        QStringLiteral("create table if not exists apart(a integer not null, b integer not null, primary key(a, b));");
    return statement;
}

}  // namespace ContactSchema

const QStringList& ContactTextColumns()
{
    static const QStringList columns{QStringLiteral("类别"), QStringLiteral("姓名"), QStringLiteral("生日"),
                                     QStringLiteral("电话"), QStringLiteral("QQ"),   QStringLiteral("地址"),
                                     QStringLiteral("备注")};
    return columns;
}

const QString& ContactTextColumn(ContactText column)
{
    return ContactTextColumns()[static_cast<int>(column)];
}

const QString& PhotoColumn()
{
    static const QString column = QStringLiteral("jpg");
    return column;
}
