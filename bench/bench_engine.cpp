// The recordset over 100,000 contacts: opening, filtering and sorting, run by hand.
#include "ADODB.h"
#include "DbHelpers.h"

#include <sqlcipher/sqlite3.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QFile>
#include <cstdio>

static void fill(sqlite3* db, int count)
{
    const QString surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄"};
    const QString categories[] = {"朋友", "同事", "同学", "客户"};
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "insert into rem values(?,?,?,?,?,?,?,?)", -1, &st, nullptr);
    for (int i = 0; i < count; ++i) {
        const QByteArray values[] = {categories[i % 4].toUtf8(),
                                     (surnames[i % 8] + QString::number(i % 9973)).toUtf8(),
                                     QByteArray("1990-01-01"),
                                     QByteArray::number(13800000000LL + i),
                                     QByteArray::number(100000 + i),
                                     QStringLiteral("北京市海淀区%1号").arg(i).toUtf8(),
                                     QByteArray("备注")};
        for (int c = 0; c < 7; ++c)
            sqlite3_bind_text(st, c + 1, values[c].constData(), int(values[c].size()), SQLITE_TRANSIENT);
        if (i % 3 == 0 && !qEnvironmentVariableIsSet("NO_PHOTOS"))
            sqlite3_bind_blob(st, 8, QByteArray(20000, 'j').constData(), 20000, SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(st, 8);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
}

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Kalvo.mdb");
    TADOConnection connection;
    TADOQuery query;
    query.Connection = &connection;
    CreateJetDatabase(path, "tavmeri");
    OpenJetDatabase(connection, path, "tavmeri");
    RunSqlScript(query, {"create table rem(类别 char(10),姓名 char(10),生日 char(15),电话 char(15),QQ char(15),"
                         "地址 char(30),备注 char(100),jpg image )"});
    fill(connection.Handle(), 100000);

    QElapsedTimer timer;
    auto lap = [&](const char* what) { std::printf("%-34s %6lld ms\n", what, timer.restart()); };
    timer.start();
    OpenTable(query, "rem");
    lap("open 100,000 records");
    query.SetFilter("姓名 like  '%王1%'");
    query.SetFiltered(true);
    lap("filter (name contains)");
    std::printf("  %d records pass\n", query.RecordCount());
    query.SetFiltered(false);
    lap("filter off");
    query.SetSort("姓名   ASC");
    lap("sort by name (pinyin)");
    query.SetSort("类别   ASC");
    lap("sort by category");
    query.AppendRecord({"朋友", "新人"});
    lap("append one record");
    query.Edit();
    query.FieldByName("电话")->SetAsString("110");
    query.Post();
    lap("change one record");
    query.Delete();
    lap("delete one record");
    if (qEnvironmentVariableIsSet("KEEP")) { connection.Close(); QFile::copy(path, qgetenv("KEEP")); }
    return 0;
}
