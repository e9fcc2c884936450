// Export of the largest view the format can number: 65,535 contacts.
#include "export/XlsExport.h"
#include "store/ADODB.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString database = dir.filePath("Kalvo.mdb");
    TADOConnection connection;
    TADOQuery query;
    query.Connection = &connection;
    const QString& password = ContactSchema::DatabasePassword();
    if (!CreateJetDatabase(database, password) || !OpenJetDatabase(connection, database, password)
        || !RunSqlScript(query, {ContactSchema::CreateContactTable()})) {
        std::fprintf(stderr, "cannot create the database\n");
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    connection.Execute("insert into rem(类别, 姓名, 生日, 电话, QQ, 地址, 备注) "
                       "with recursive n(i) as (select 1 union all select i + 1 from n where i < 65535) "
                       "select case i % 3 when 0 then '朋友' when 1 then '同事' else '同学' end, '王小' || (i % 100), "
                       "'1990-01-' || (i % 28 + 1), '138' || (10000000 + i), i, '北京市海淀区中关村大街' || i || '号', "
                       "'Note ' || i || ' 备注文字' from n");
    if (!OpenTable(query, ContactSchema::ContactTable())) {
        std::fprintf(stderr, "cannot open the table\n");
        return 1;
    }
    std::printf("fill and open %d records: %lld ms\n", query.RecordCount(), timer.elapsed());

    const QStringList& columns = ContactTextColumns();
    const QString file = dir.filePath("export.xls");
    for (int round = 0; round < 3; ++round) {
        timer.restart();
        QString reason;
        const bool ok = ExportToXls(query, file, columns, &reason);
        const qint64 ms = timer.elapsed();
        std::printf("export %s: %lld ms, %lld bytes%s%s\n", ok ? "ok" : "FAILED", ms, QFileInfo(file).size(),
                    ok ? "" : ": ", qPrintable(reason));
    }
    return 0;
}
