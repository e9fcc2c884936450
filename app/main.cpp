// The contact book: the login gate, then the main window until it is closed.

#include "QtDesktop.h"
#include "Startup.h"

#include <QApplication>

#if __has_include("PictureDialog.h")
#include "PictureDialog.h"
#define TESSALY_HAS_PICTURE_DIALOG 1
#endif

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    static QtDesktop d;
    setDesktop(&d);
#ifdef TESSALY_HAS_PICTURE_DIALOG
    d.SetPictureDialog(RunOpenPictureDialog);
#endif
    return RunTessaly();
}
