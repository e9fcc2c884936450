// `tessaly-book find zs` over 100,000 contacts as a whole process, against the
// sqlcipher shell's own contains query on the same file, key included in both:
//
//   bench_find [path/to/tessaly-book]
//
// BENCH_BOOK=file keeps the book made for it there (the file must not exist).
// Each program runs five times with its output thrown away; the medians and
// their ratio are printed. The target: find within 3 times the shell.

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
    ExecuteAll(db, QStringLiteral("begin"));
    Statement insert(db, QStringLiteral("insert into rem values(?,?,?,?,?,?,?,null)"));
    for (int i = 0; i < count; ++i) {
        QString name = surnames[next(surnames.size())];
        name += given[next(given.size())];
        if (next(3) != 0)
            name += given[next(given.size())];
        const QString values[] = {categories[i % 4],
                                  name,
                                  QStringLiteral("1990-01-01"),
                                  QString::number(13800000000LL + i),
                                  QString::number(100000 + i),
                                  QStringLiteral("北京市海淀区%1号").arg(i),
                                  QStringLiteral("备注")};
        for (int c = 0; c < 7; ++c)
            insert.bindText(c + 1, values[c]);
        insert.step();
        insert.reset();
    }
    ExecuteAll(db, QStringLiteral("commit"));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString book = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TESSALY_BOOK_PATH);
    QTemporaryDir dir;
    const QString path =
        qEnvironmentVariableIsSet("BENCH_BOOK") ? qEnvironmentVariable("BENCH_BOOK") : dir.filePath("Kalvo.mdb");
    {
        TADOConnection connection;
        TADOQuery query;
        query.Connection = &connection;
        CreateJetDatabase(path, ContactSchema::DatabasePassword());
        OpenJetDatabase(connection, path, ContactSchema::DatabasePassword());
        RunSqlScript(query, {ContactSchema::CreateContactTable()});
        fill(connection.Handle(), 100000);
    }

    const double find = medianRun(book, {"--password-file", "-", "--db", path, "find", "zs"}, "480917\n");
    const QByteArray script =
        "PRAGMA key='" + ContactSchema::DatabasePassword().toUtf8() + "';\nselect * from rem where 姓名 like '%张%';\n";
    const double shell = medianRun(QStringLiteral("sqlcipher"), {path}, script);
    if (find < 0 || shell < 0)
        return 1;
    std::printf("tessaly-book find zs          %8.1f ms\n", find);
    std::printf("sqlcipher like '%%张%%'         %8.1f ms\n", shell);
    std::printf("ratio                         %8.2f (target: at most 3)\n", find / shell);
    return 0;
}
