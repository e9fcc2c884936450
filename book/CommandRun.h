#pragma once
// What a command of tessaly-book is given: the run (the book, how the password
// comes, where to write) and the helpers that read its own arguments. The
// dispatcher (book/BookRun.h) sits above the commands and fills this in.

#include "book/BookErrors.h"
#include "book/Console.h"

#include <QString>
#include <QStringList>
#include <optional>

struct BookRun {
    Console& console;
    QString database;                 // the book's file: --db, else Kalvo.mdb beside the executable
    bool gui = false;                 // --gui: dialogs instead of the terminal
    QString passwordFile;             // --password-file: where the login password is ("-": the standard input)
    std::optional<QString> password;  // the login password once it opened the book
};

// A command's own arguments: the flags it knows, then its operands. "--" ends
// the flags; an unknown flag raises UsageError naming the command.
struct CommandArguments {
    QStringList flags;     // as given, each once
    QStringList operands;  // files, in order
    bool has(const QString& flag) const { return flags.contains(flag); }
};
CommandArguments SplitArguments(const QString& command, const QStringList& arguments,
                                const QStringList& knownFlags = {});
// Takes an option with a value ("--days 7" or "--days=7", before any "--") out
// of a command's arguments; nullopt when it is not there. A missing or empty
// value, or the option given twice, raises UsageError naming the command.
std::optional<QString> TakeOptionValue(const QString& command, QStringList& arguments, const QString& option);

// A record's number as list --numbers prints it; UsageError naming the command otherwise.
qint64 RecordNumber(const QString& command, const QString& text);
