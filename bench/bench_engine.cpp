// The recordset over 100,000 contacts: opening, filtering and sorting, run by hand.
#include "bench/ContactBookFill.h"
#include "store/ADODB.h"
#include "store/DbHelpers.h"

#include <sqlcipher/sqlite3.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Kalvo.mdb");
    TADOConnection connection;
    TADOQuery query;
    OpenNewBook(connection, query, path);
    FillContacts(connection.Handle(), 100000, qEnvironmentVariableIsSet("NO_PHOTOS") ? 0 : 20000);

    QElapsedTimer timer;
    auto lap = [&](const char* what) { std::printf("%-34s %6lld ms\n", what, timer.restart()); };
    timer.start();
    OpenTable(query, ContactSchema::ContactTable());
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
    if (qEnvironmentVariableIsSet("KEEP")) {
        connection.Close();
        QFile::copy(path, qgetenv("KEEP"));
    }
    return 0;
}
