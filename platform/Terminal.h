#pragma once
// The program's own terminal: whether there is one, a line typed with the
// echo off (a password), a line of the standard input.

#include <QByteArray>

bool OutputIsTerminal();
bool InputIsTerminal();

// The terminal's echo is off while this lives. Ctrl+C (or another ending
// signal) meanwhile gives the terminal its echo back, then ends the program as
// it would have. Without a terminal it does nothing.
class EchoOff {
public:
    EchoOff();
    ~EchoOff();
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    static constexpr int SignalCount = 4;
    void (*previous_[SignalCount])(int) = {};
    bool saved_ = false;
};

struct InputLine {
    QByteArray bytes;
    bool ended = false;   // the input ended before any byte
    bool failed = false;  // it could not be read
};

// The standard input's bytes up to the first line end (dropped, with a CR
// before it), one read at a time so nothing after it is taken from the input.
InputLine ReadInputLine();
