#pragma once
// The commands of tessaly-book, one function each (book/CommandRun.h says what they are given).

#include "book/CommandRun.h"

#include <QDateTime>

int RunImport(BookRun& run, const QStringList& arguments);
int RunExport(BookRun& run, const QStringList& arguments);
int RunList(BookRun& run, const QStringList& arguments);
int RunFind(BookRun& run, const QStringList& arguments);
int RunBackup(BookRun& run, const QStringList& arguments);
int RunCheck(BookRun& run, const QStringList& arguments);
int RunQr(BookRun& run, const QStringList& arguments);
int RunBirthdays(BookRun& run, const QStringList& arguments);
int RunDuplicates(BookRun& run, const QStringList& arguments);
int RunMerge(BookRun& run, const QStringList& arguments);
int RunSync(BookRun& run, const QStringList& arguments);

// Whether export prints the book to this file (a PDF) rather than writing its contacts.
bool IsPrintTarget(const QString& path);

// Where backup puts its copy when given no file: Kalvo-年月日-时分秒.mdb beside the book.
QString DefaultBackupPath(const QString& book, const QDateTime& when);
