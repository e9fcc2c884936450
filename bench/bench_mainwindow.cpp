// The main window over 100,000 contacts: start, first paint, clicks, keys, add, sort, search. Run by hand.
#include "AppPaths.h"
#include "DBGrid.h"
#include "ImageBox.h"
#include "QtDesktop.h"
#include "Unit_main.h"

#include <sqlcipher/sqlite3.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

static void fill(const QString& path, int count)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "PRAGMA key = 'tavmeri'", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "insert into rem values(?,?,?,?,?,?,?,?)", -1, &st, nullptr);
    const QString surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄"};
    const QString categories[] = {"朋友", "同事", "同学", "客户"};
    for (int i = 0; i < count; ++i) {
        const QByteArray values[] = {categories[i % 4].toUtf8(), (surnames[i % 8] + QString::number(i % 9973)).toUtf8(),
                                     QByteArray("1990-01-01"), QByteArray::number(13800000000LL + i),
                                     QByteArray::number(100000 + i), QStringLiteral("北京市海淀区%1号").arg(i).toUtf8(),
                                     QByteArray("备注")};
        for (int c = 0; c < 7; ++c)
            sqlite3_bind_text(st, c + 1, values[c].constData(), int(values[c].size()), SQLITE_TRANSIENT);
        if (i % 3 == 0)
            sqlite3_bind_blob(st, 8, "jpg", 3, SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(st, 8);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtDesktop desk;
    setDesktop(&desk);
    QTemporaryDir dir;
    OverrideExecutablePathForTests(dir.filePath(QStringLiteral("tessaly")));
    {
        TForm_main creator;  // makes the empty database with its table
    }
    fill(dir.filePath(QStringLiteral("Kalvo.mdb")), 100000);

    QElapsedTimer timer;
    auto lap = [&](const char* what) {
        QApplication::processEvents();
        std::printf("%-36s %6lld ms\n", what, timer.restart());
    };
    timer.start();
    TForm_main w;
    lap("create the window (open 100,000)");
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        std::printf("window not exposed\n");
    w.repaint();
    lap("show and paint");
    TDBGrid* grid = w.DBGrid1;
    const QModelIndex row3 = grid->model()->index(2, 1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(row3).center());
    lap("click a row (load its record)");
    for (int i = 0; i < 100; ++i)
        QTest::keyClick(grid, Qt::Key_Down);
    lap("100 x key down");
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    grid->repaint();
    lap("ctrl+end to the last record");
    w.Image1->Clear();
    w.Edit1->setText(QStringLiteral("新人"));
    w.BitBtn1->click();
    grid->repaint();
    lap("新建 one record");
    QHeaderView* header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
    grid->repaint();
    lap("sort by name (title click)");
    w.Edit1->setText(QStringLiteral("王1"));
    w.BitBtn3->click();
    grid->repaint();
    lap("search name contains");
    w.Edit1->clear();
    w.BitBtn3->click();
    grid->repaint();
    lap("empty search (all again)");
    std::printf("records: %s\n", qPrintable(w.PanelText(1)));
    return 0;
}
