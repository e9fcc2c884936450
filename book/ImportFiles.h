#pragma once
// An import's steps, shared by the import command and the tools window:
// read the files, plan against the book, write the chosen contacts, and the
// lines that close the report.

#include "exchange/ImportPlan.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// "不能导入 a.txt：支持的文件类型为 *.vcf …", or empty when the file's kind can be imported.
QString UnimportableReason(const QString& file);

// Every file read into drafts, in order; fileRead is told after each one. The
// drafts are held in a temporary spool file, not in memory (DraftSpool.h).
// Raises ExchangeError for a file that cannot be read at all.
QList<ImportSource> ReadImportFiles(const QStringList& files, const std::function<void(int filesRead)>& fileRead = {});

struct BookRun;

// The plan for the sources against the existing book at path: its column
// widths and the names and phones already in it. Reads no photo. With a run,
// only after its login password opened the book (see BookFile).
ImportPlan PlanBookImport(const QString& path, const QList<ImportSource>& sources, BookRun* gate = nullptr);

// Told after each contact written: returns false to cancel, and the whole write is undone.
using WriteProgress = std::function<bool(int written, int total)>;

// Writes the plan's contacts into the existing book at path in one transaction.
// Raises EDatabaseError (or ImportCancelled) after undoing every one of them.
void WriteImport(const QString& path, const ImportPlan& plan, const WriteProgress& progress = {});

// The last lines of a written import's report: a new book, the window program
// that holds the book, the summary.
QStringList ImportClosingLines(const QString& path, const ImportPlan& plan, bool bookCreated);
