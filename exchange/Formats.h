#pragma once
// The file kinds contacts come in and go out as, chosen by the file's extension.
// Each format only parses or writes; the fitting to the book's columns, the
// duplicates and the writing to the book are shared by all of them.
//
// A new kind is one row in the import or export table of Formats.cpp.

#include "exchange/ContactDraft.h"

#include <QList>
#include <QString>
#include <QStringList>

struct ImportFormat {
    QString extension;                      // lower case, without the dot: "vcf"
    QString description;                    // for dialogs and --help: "vCard 名片"
    DraftSet (*read)(const QString& path);  // raises ExchangeError when the whole file cannot be read
    // Reads the file once, handing each draft to the sink as it is read, and
    // returns the notes about the whole file; nullptr: only read.
    QStringList (*stream)(const QString& path, DraftSink& sink) = nullptr;
};

struct ExportFormat {
    QString extension;
    QString description;
    // Writes every contact, in the order given, to a new file at path (the caller
    // makes it atomic). Raises ExchangeError.
    void (*write)(const QString& path, const QList<StoredContact>& contacts);
    // What the report says was written ("3 个生日"), naming where the
    // contacts left out are listed; nullptr: every contact.
    QString (*written)(const QList<StoredContact>& contacts, const QString& leftOutListed) = nullptr;
};

const QList<ImportFormat>& ImportFormats();
const QList<ExportFormat>& ExportFormats();

// The extension of a file name, lower case, without the dot; empty when none.
QString FileExtension(const QString& path);

// The format for a file by its extension, compared without regard to case; nullptr when none.
const ImportFormat* FindImportFormat(const QString& path);
const ExportFormat* FindExportFormat(const QString& path);

// "*.vcf *.csv": the patterns of a table, for messages and dialogs.
QStringList ImportPatterns();
QStringList ExportPatterns();
