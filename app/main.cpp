// The contact book: the login gate, then the main window until it is closed.

#include "app/Startup.h"
#include "app/WindowIcon.h"
#include "photo/PictureDialog.h"
#include "platform/QtDesktop.h"
#include "store/BookHeadStart.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // The book's key derivation and count run beside the start of Qt and the windows.
    const std::unique_ptr<BookHeadStart> headStart = StartOpeningBook();
    QApplication app(argc, argv);
    static QtDesktop d;
    setDesktop(&d);
    // The photo module's dialog, with its preview pane, picks picture files.
    d.SetPictureDialog(RunOpenPictureDialog);
    LoadChineseTranslations();
    UseTessalyIcon();
    return RunTessaly();
}
