#include "Desktop.h"

namespace {
Desktop* g_desktop = nullptr;
}

Desktop& desktop()
{
    return *g_desktop;
}

Desktop* setDesktop(Desktop* d)
{
    Desktop* old = g_desktop;
    g_desktop = d;
    return old;
}
