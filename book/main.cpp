// tessaly-book: the contact book's companion on the command line. With --gui
// it shows its report and dialogs in windows; otherwise it needs no display.

#include "book/BookRun.h"
#include "platform/QtDesktop.h"

#include <QApplication>
#include <QCoreApplication>
#include <memory>

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    StdConsole console;
    if (!WantsGui(arguments)) {
        QCoreApplication app(argc, argv);
        return RunBook(arguments, console);
    }
    QApplication app(argc, argv);
    static QtDesktop d;
    setDesktop(&d);
    LoadChineseTranslations();
    return RunBook(arguments, console);
}
