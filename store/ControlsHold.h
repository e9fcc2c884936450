#pragma once
// Holds the controls that follow a query for a scope: many changes in a row
// show once, when the scope ends, also when one of them fails.

#include "store/ADODB.h"

class ControlsHold {
public:
    explicit ControlsHold(TADOQuery& query) : query_(query) { query_.DisableControls(); }
    ~ControlsHold() { query_.EnableControls(); }
    ControlsHold(const ControlsHold&) = delete;
    ControlsHold& operator=(const ControlsHold&) = delete;

private:
    TADOQuery& query_;
};
