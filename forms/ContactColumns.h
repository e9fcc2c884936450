#pragma once
// The status bar texts of the contact count and position; the columns are the store's.

#include "store/ContactSchema.h"

#include <QString>

// "总人数" followed by the count, digits only.
QString RecordCountText(int count);
// "当前位置" followed by the position, digits only.
QString PositionText(int recNo);
