#pragma once
// The contact table's columns as its creating statement declares them
// (ContactSchema::CreateContactTable): what the engine describes on a book it
// made, known without making one.

#include "store/ColumnInfo.h"

#include <vector>

namespace ContactSchema {

const std::vector<ColumnInfo>& ContactColumns();

}  // namespace ContactSchema
