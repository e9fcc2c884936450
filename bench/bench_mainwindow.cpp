// The main window over 100,000 contacts: start, first paint, clicks, keys, add, sort, search. Run by hand.
#include "bench/ContactBookFill.h"
#include "forms/DBGrid.h"
#include "forms/Unit_main.h"
#include "photo/ImageBox.h"
#include "platform/AppPaths.h"
#include "platform/QtDesktop.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtDesktop desk;
    setDesktop(&desk);
    QTemporaryDir dir;
    OverrideExecutablePathForTests(dir.filePath(QStringLiteral("tessaly")));
    MakeContactBook(dir.filePath(QStringLiteral("Kalvo.mdb")), 100000, 3);

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
