#pragma once
// How a page is walked with the keyboard: Tab goes through its controls in the
// order the page shows them, and leaves a table as it leaves any other control
// (the arrow keys move inside the table).

#include <initializer_list>

class QWidget;

// Tab goes from each widget to the next, in the order given.
void SetTabChain(std::initializer_list<QWidget*> widgets);
