#include "PrintingDesktop.h"

#include <QPrintDialog>

bool PrintingDesktop::PrintDialog(QWidget* owner, QPrinter& printer)
{
    QPrintDialog dialog(&printer, owner);
    dialog.setWindowTitle(QStringLiteral("打印"));
    // The pages are laid out for A4 as a whole; choosing some of them is not offered.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted;
}
