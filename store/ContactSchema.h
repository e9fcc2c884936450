#pragma once
// The contact book's fixed facts, in one place for the window, the companion
// program, the tests and the benchmarks: the database password, the tables'
// statements and the contact columns. Every table of the book file is made by
// a statement here, but the sync's (store/SyncTables); rem and pass stay as
// the window made them, the others only ever lie beside them.

#include <QString>
#include <QStringList>

namespace ContactSchema {

// The database file's key, built into every program that opens the book.
const QString& DatabasePassword();
// The contact table and the statement that creates it on the first run.
const QString& ContactTable();
const QString& CreateContactTable();
// The login password's table and its statement.
const QString& PasswordTable();
const QString& CreatePasswordTable();
// The number of contacts kept beside rem, so that a start can show 总人数
// without reading every page of the book: a table of one row and the two
// triggers that keep it, in the order they are made. The triggers live in the
// file, so every program that writes rem keeps the number right, the older
// copies, the sqlcipher shell and tessaly-book alike. A book made before
// them lacks them: the window makes them after a login (store/KeptCount).
const QString& CountTable();
const QStringList& CreateCountKeeping();
// What an import keeps beside a record (store/KeptValues): the table kept,
// its index and the trigger that deletes a record's values with the record,
// so the window's 删除 removes them without knowing of them. Made by the
// first write that keeps something, each part unless it is there.
const QString& CreateKeptKeeping();
// What the duplicates listed last, a digest a record (store/ListedRecords),
// and the records taken out of a group, a pair a row; each unless it is there.
const QString& CreateListedTable();
const QString& CreateApartTable();

}  // namespace ContactSchema

// The seven text columns of rem, in table order: 类别 姓名 生日 电话 QQ 地址 备注.
// The window's input controls ComboBox1, Edit1 .. Edit6 hold them in the same order.
enum class ContactText { Category, Name, Birthday, Phone, QQ, Address, Note };
constexpr int ContactTextCount = 7;
const QStringList& ContactTextColumns();
// One column's name: ContactTextColumn(ContactText::Phone) is "电话".
const QString& ContactTextColumn(ContactText column);
// The photo column.
const QString& PhotoColumn();
