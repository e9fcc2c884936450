// `tessaly-book duplicates` over 100,000 contacts as a whole process, against
// the sqlcipher shell reading every record of the same file, key included in both:
//
//   bench_duplicates [path/to/tessaly-book]
//
// BENCH_BOOK=file keeps the book made for it there (the file must not exist).
// One contact in fifty shares a phone (written another way) with the one
// before it, one in fifty a traditional name and birthday. Each program runs
// seven times, in turn with the other, as a process of its own (the clock
// started before the fork); the medians and their ratios are printed. The
// target: at most 2.5 times the shell.

#include "bench/ContactBookFill.h"
#include "bench/ProcessTiming.h"
#include "store/ADODB.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "store/SqliteHandle.h"

#include <QCoreApplication>
#include <QTemporaryDir>

namespace {

void fill(sqlite3* db, int count)
{
    const QString surnames = QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖");
    InsertContacts(db, count, [&](int i) -> std::array<QString, 7> {
        QString name = surnames[i % surnames.size()] + QString::number(i);
        QString phone = QString::number(13800000000LL + i);
        QString birthday = QStringLiteral("1990-01-%1").arg(i % 28 + 1);
        if (i % 50 == 1)
            phone = QStringLiteral("+86 ") + QString::number(13800000000LL + i - 1);
        if (i % 50 == 3)
            name = QStringLiteral("張偉%1").arg(i - 1);
        if (i % 50 == 2)
            name = QStringLiteral("张伟%1").arg(i);
        if (i % 50 == 3)
            birthday = QStringLiteral("1990-01-%1").arg((i - 1) % 28 + 1);
        return {QStringLiteral("朋友"),
                name,
                birthday,
                phone,
                QString::number(100000 + i),
                QStringLiteral("北京市海淀区%1号").arg(i),
                QStringLiteral("备注")};
    });
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString book = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TESSALY_BOOK_PATH);
    QTemporaryDir dir;
    const QString path = MakeBenchBook(dir, [](sqlite3* db) { fill(db, 100000); });

    return CompareWithShell(book, path, {"duplicates"}, "select * from rem;", "tessaly-book duplicates       ",
                            "sqlcipher select * from rem   ", "at most 2.5");
}
