// `tessaly-book find zs` over 100,000 contacts as a whole process, against the
// sqlcipher shell's own contains query on the same file, key included in both:
//
//   bench_find [path/to/tessaly-book]
//
// BENCH_BOOK=file keeps the book made for it there (the file must not exist).
// Each program runs seven times, in turn with the other, its output thrown away (the
// clock started before the fork, stopped once the process has ended); the medians and
// their ratios are printed. The target: find within 1.5 times the shell.

#include "bench/ContactBookFill.h"
#include "bench/ProcessTiming.h"
#include "store/ADODB.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "store/SqliteHandle.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// Names as a Chinese book holds them: common surnames, one or two given characters.
void fill(sqlite3* db, int count)
{
    const QString surnames =
        QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余"
                       "杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史");
    const QString given =
        QStringLiteral("伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚桂华玉萍红建文辉力飞鹏宇浩凯健俊帆"
                       "帅旭宁嘉琪思颖晨欣怡梓涵子轩博一诺雨泽乐长行单");
    const QString categories[] = {"朋友", "同事", "同学", "客户"};
    unsigned seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % unsigned(n));
    };
    InsertContacts(db, count, [&](int i) -> std::array<QString, 7> {
        QString name = surnames[next(surnames.size())];
        name += given[next(given.size())];
        if (next(3) != 0)
            name += given[next(given.size())];
        return {categories[i % 4],
                name,
                QStringLiteral("1990-01-01"),
                QString::number(13800000000LL + i),
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

    return CompareWithShell(book, path, {"find", "zs"}, "select * from rem where 姓名 like '%张%';",
                            "tessaly-book find zs          ", "sqlcipher like '%张%'         ", "at most 1.5");
}
