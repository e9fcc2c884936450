#pragma once
// The contacts a print shows, in the order a person looks names up in: under
// the heading letters A to Z by the pinyin of the name, then # for names that
// begin with neither a Chinese character nor a Latin letter; under one letter
// in the window's order by 姓名. Each holds only the lines its entry shows, so
// a large book is held as text, never as pages; the photos stay in the book
// until a card is drawn.

#include "book/PrintChoice.h"
#include "exchange/ContactDraft.h"

#include <QList>
#include <QString>
#include <vector>

class TADOConnection;

struct PrintedLine {
    PrintColumn column;  // the tick that shows it
    QString label;       // "电话", "手机", "办公电话", "生日", ...
    QString value;       // as written, whole
};

struct PrintedContact {
    qint64 rowid = 0;
    QChar heading;  // 'A' .. 'Z' or '#'
    QString name;
    QString category;
    QList<PrintedLine> lines;
};

// The heading letter of a name: the first letter of its pinyin, upper case, or '#'.
QChar PrintHeading(const QString& name);

// A contact as a print shows it, its values lifted (LiftValues): the name
// whole, and every line in a fixed order: 电话 and every further number, QQ,
// 邮箱, 生日, 地址, then 备注 and the other kept values. The styles show the
// lines whose column the choice ticks, so a tick changes no reading.
PrintedContact PrintedFrom(const StoredContact& contact);

// The contacts of the book open on the connection that the choice prints (its
// 类别 and search), in print order; with everyLine each keeps the lines the
// choice does not tick too (for a preview that follows the ticks), else only
// the ones it prints (a large book in less memory). Raises EDatabaseError.
std::vector<PrintedContact> ReadPrintedContacts(TADOConnection& connection, const PrintChoice& choice,
                                                bool everyLine = false);

// The 类别 the book's contacts have, each once, in the window's order, for choosing one.
QStringList BookCategories(TADOConnection& connection);
