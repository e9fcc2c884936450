// For the printer's end-to-end test: the 打印 page on a book, its 打印 button
// pressed, the print dialog choosing the printer named (as a person picks it),
// the job going to the system's print service. Exit 0 once the page reports it printed.
//
//   print_on_printer BOOK PRINTER 通讯录|名片

#include "book/tools/PrintPage.h"
#include "book/tools/ToolsSession.h"
#include "tests/support/ScriptedDesktop.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: print_on_printer BOOK PRINTER 通讯录|名片\n");
        return 2;
    }
    const QString printer = QString::fromLocal8Bit(argv[2]);
    ScriptedDesktop desktop;
    desktop.printAnswers.push_back([&](QPrinter& chosen) {
        chosen.setPrinterName(printer);
        return chosen.outputFormat() == QPrinter::NativeFormat;
    });
    ToolsSession session(QString::fromLocal8Bit(argv[1]));
    PrintPage page(session);
    page.show();
    page.style()->setCurrentIndex(QString::fromLocal8Bit(argv[3]) == PrintStyleName(PrintStyle::Cards) ? 1 : 0);
    page.refresh();
    QTest::mouseClick(page.printButton(), Qt::LeftButton);
    std::printf("%s\n", qPrintable(page.result()->text()));
    for (const QString& box : desktop.boxTexts())
        std::fprintf(stderr, "%s\n", qPrintable(box));
    return page.result()->text().startsWith(QStringLiteral("已打印")) ? 0 : 1;
}
