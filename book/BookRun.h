#pragma once
// The dispatcher of tessaly-book, above every command: the options every
// command shares and the table of commands. A command is a function of the run
// and its own arguments (book/CommandRun.h) that returns the exit status; it
// raises UsageError for arguments it cannot take and any Exception (an
// ExchangeError too) for a failure (then nothing was changed).

#include "book/CommandRun.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

struct BookCommand {
    QString name;
    QString usage;    // the arguments after the name, for --help: "[--dry-run] 文件..."
    QString summary;  // one line of --help
    int (*run)(BookRun& run, const QStringList& arguments);
};

const QList<BookCommand>& BookCommands();
// The command of that name; nullptr when there is none.
const BookCommand* FindCommand(const QString& name);

// The options every command shares: --db, --password-file, --gui and --help may stand anywhere
// before "--"; the rest goes to the command. Raises UsageError.
struct SharedOptions {
    bool help = false;
    bool gui = false;
    QString database;      // as given with --db
    QString passwordFile;  // as given with --password-file
    QStringList rest;      // the command and its own arguments

    QString book() const;  // --db, else Kalvo.mdb beside the executable
};
SharedOptions ParseSharedOptions(const QStringList& arguments);

// The whole program on its arguments (without the program's own name).
int RunBook(const QStringList& arguments, Console& console);

// Whether the arguments ask for --gui (before any "--").
bool WantsGui(const QStringList& arguments);

// Whether the arguments print the book to a PDF (export 通讯录.pdf), which needs fonts: a GUI application.
bool PaintsPages(const QStringList& arguments);

// The --help text.
QString BookHelp();
