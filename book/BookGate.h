#pragma once
// The login password in front of every command that reads or writes the book:
// from --password-file, else asked at the terminal (three tries), else refused.

#include "book/CommandRun.h"
#include "store/LoginGate.h"

// Lets the run go on when its password opens the book. Raises PasswordRefused
// for a wrong password, UsageError when there is no way to get one, Exception
// when the password file cannot be read. Asks at most once per run.
void UnlockBook(BookRun& run, const LoginCheck& check);

// The first line of a file holding a secret, without its line end ("-": the
// standard input). Raises Exception when it cannot be read.
QString SecretFromFile(Console& console, const QString& path);
