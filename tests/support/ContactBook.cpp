#include "ContactBook.h"

#include "store/ContactSchema.h"
#include "store/DbHelpers.h"

#include <stdexcept>

ContactBook::ContactBook()
{
    const QString path = folder.databasePath();
    query.Connection = &connection;
    if (!CreateJetDatabase(path, ContactSchema::DatabasePassword())
        || !OpenJetDatabase(connection, path, ContactSchema::DatabasePassword())
        || !RunSqlScript(query, {ContactSchema::CreateContactTable()}))
        throw std::runtime_error("cannot make the contact book");
    reopen();
}

void ContactBook::reopen()
{
    if (!OpenTable(query, ContactSchema::ContactTable()))
        throw std::runtime_error("cannot open the contact table");
}

void ContactBook::addNames(const QStringList& names)
{
    for (const QString& name : names)
        query.AppendRecord({QString(), name});
}

void ContactBook::fill(int count, const QString& name)
{
    connection.Execute(QStringLiteral("insert into rem(姓名) with recursive n(i) as "
                                      "(select 1 union all select i + 1 from n where i < %1) select '%2' from n")
                           .arg(count)
                           .arg(name));
    reopen();
}

QString ContactBook::name()
{
    return query.FieldByName(ContactTextColumn(ContactText::Name))->AsString().trimmed();
}

QStringList ContactBook::viewNames()
{
    QStringList names;
    for (int row = 0; row < query.RecordCount(); ++row)
        names << query.DisplayText(row, 1).trimmed();
    return names;
}

SecondCopy::SecondCopy(const QString& path)
{
    query.Connection = &connection;
    if (!OpenJetDatabase(connection, path, ContactSchema::DatabasePassword()))
        throw std::runtime_error("the second copy cannot open the book");
}

QStringList SecondCopy::column(const QString& select)
{
    query.Close();
    query.SQL = QStringList{select};
    query.Open();
    QStringList values;
    for (query.First(); !query.Eof(); query.Next())
        values << (query.Fields(0)->IsNull() ? QStringLiteral("<null>") : query.Fields(0)->AsString());
    query.Close();
    return values;
}

QStringList SecondCopy::fieldNames(const QString& table)
{
    query.Close();
    query.SQL = QStringList{QStringLiteral("select * from ") + table};
    query.Open();
    QStringList names;
    for (int i = 0; i < query.FieldCount(); ++i)
        names << query.Fields(i)->FieldName;
    query.Close();
    return names;
}

QStringList Trimmed(const QStringList& texts)
{
    QStringList trimmed;
    for (const QString& text : texts)
        trimmed << text.trimmed();
    return trimmed;
}
