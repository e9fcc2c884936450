#pragma once
// The desktop of tessaly-book: the window program's, with the system's print
// dialog, which only the tools window's 打印 page shows.

#include "platform/QtDesktop.h"

class PrintingDesktop : public QtDesktop {
public:
    bool PrintDialog(QWidget* owner, QPrinter& printer) override;
};
