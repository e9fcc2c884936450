#pragma once
// Where a command's report and errors go. The program writes to its standard
// streams; tests and the --gui dialog capture the text instead.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class Console {
public:
    virtual ~Console() = default;
    // One line of the report, without its line end.
    virtual void out(const QString& line) = 0;
    // One line of an error or a warning.
    virtual void err(const QString& line) = 0;
    // Whether the report goes to a terminal a person reads (aligned columns) or to a program.
    virtual bool outIsTerminal() const = 0;

    // Whether a person at a terminal can be asked a question.
    virtual bool canAsk() const = 0;
    // Asks that person for a secret, not showing what they type; nothing when
    // the input ended first.
    virtual std::optional<QString> askHidden(const QString& prompt) = 0;
    // The first line of the standard input, without its line end, read no
    // further than that; nothing when the input cannot be read.
    virtual std::optional<QByteArray> inputLine() = 0;
};

// The standard streams, UTF-8.
class StdConsole : public Console {
public:
    void out(const QString& line) override;
    void err(const QString& line) override;
    bool outIsTerminal() const override;
    bool canAsk() const override;
    std::optional<QString> askHidden(const QString& prompt) override;
    std::optional<QByteArray> inputLine() override;
};

// Keeps every line, in order; optionally passes them on.
class CapturingConsole : public Console {
public:
    explicit CapturingConsole(Console* next = nullptr, bool terminal = false) : next_(next), terminal_(terminal) {}
    void out(const QString& line) override;
    void err(const QString& line) override;
    bool outIsTerminal() const override { return next_ ? next_->outIsTerminal() : terminal_; }
    bool canAsk() const override { return next_ ? next_->canAsk() : answers.has_value(); }
    std::optional<QString> askHidden(const QString& prompt) override;
    std::optional<QByteArray> inputLine() override { return next_ ? next_->inputLine() : input; }

    QStringList outLines;
    QStringList errLines;
    QStringList allLines;  // both, as they came

    // Without a next console: what a person types when asked (there is nobody
    // to ask when unset), and the standard input's first line.
    std::optional<QStringList> answers;
    QStringList prompts;  // each question asked, in order
    std::optional<QByteArray> input;

private:
    Console* next_;
    bool terminal_;
};
