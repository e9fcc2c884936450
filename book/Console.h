#pragma once
// Where a command's report and errors go. The program writes to its standard
// streams; tests and the --gui dialog capture the text instead.

#include <QString>
#include <QStringList>

class Console {
public:
    virtual ~Console() = default;
    // One line of the report, without its line end.
    virtual void out(const QString& line) = 0;
    // One line of an error or a warning.
    virtual void err(const QString& line) = 0;
    // Whether the report goes to a terminal a person reads (aligned columns) or to a program.
    virtual bool outIsTerminal() const = 0;
};

// The standard streams, UTF-8.
class StdConsole : public Console {
public:
    void out(const QString& line) override;
    void err(const QString& line) override;
    bool outIsTerminal() const override;
};

// Keeps every line, in order; optionally passes them on.
class CapturingConsole : public Console {
public:
    explicit CapturingConsole(Console* next = nullptr, bool terminal = false) : next_(next), terminal_(terminal) {}
    void out(const QString& line) override;
    void err(const QString& line) override;
    bool outIsTerminal() const override { return next_ ? next_->outIsTerminal() : terminal_; }

    QStringList outLines;
    QStringList errLines;
    QStringList allLines;  // both, as they came

private:
    Console* next_;
    bool terminal_;
};
