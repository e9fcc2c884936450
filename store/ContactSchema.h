#pragma once
// The contact book's fixed facts, in one place for the window, the companion
// program, the tests and the benchmarks: the database password, the two
// tables' statements and the contact columns.

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
