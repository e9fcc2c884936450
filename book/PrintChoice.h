#pragma once
// What a person chose to print: the style, which contacts (the whole book, one
// 类别, or what a search finds) and which of their values. The command line and
// the 打印 page fill the same choice, and name the styles and columns alike.

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

enum class PrintStyle { List, Cards };

// The values a contact's entry or card can show, each a tick on the 打印 page.
// 电话 stands for the 电话 column and every further number kept with the contact.
enum class PrintColumn { Category, Phone, QQ, Birthday, Address, Mail, Note, Photo };
constexpr int PrintColumnCount = 8;

struct PrintChoice {
    PrintStyle style = PrintStyle::List;
    QString category;  // only the contacts of this 类别; empty: every contact
    QString find;      // only the contacts this search finds (as find and 查找 find them); empty: no search
    unsigned columns = 0;
    QDate date = QDate::currentDate();  // the date of the title line

    PrintChoice();
    bool shows(PrintColumn column) const;
    void show(PrintColumn column, bool shown);
};

// "通讯录" and "名片", as the --style option and the page name them.
QString PrintStyleName(PrintStyle style);
std::optional<PrintStyle> PrintStyleNamed(const QString& name);
// "类别", "电话", ...: a column's name on the page and in --columns.
QString PrintColumnName(PrintColumn column);
// The columns of a comma list ("电话,QQ,地址"); raises UsageError naming the unknown one.
unsigned PrintColumnsNamed(const QString& list);
// Whether the style can leave the column out: the list always shows 电话, and only cards have photos.
bool PrintColumnOptional(PrintStyle style, PrintColumn column);
bool PrintColumnApplies(PrintStyle style, PrintColumn column);
