#pragma once
// The font every window of the book is drawn in: 宋体 at 16 pixels (the start-up
// maps 宋体 to an installed Chinese font).

#include <QFont>

QFont WindowFont();
