#pragma once
// The grid's records as a BIFF spreadsheet: a BOF record, one LABEL (text cell)
// per value with a header row of column names, and an EOF record. Texts are GBK.

#include <QString>
#include <QStringList>

class QIODevice;
class TADOQuery;

// Adds the extension unless the name already holds it anywhere (ASCII case ignored):
// "report" -> "report.xls", "my.xls.txt" stays as it is.
QString EnsureExtension(const QString& name, const QString& extension);

// One text cell: the 12-byte LABEL header, then the text's GBK bytes, as two writes.
// A write that does not take all its bytes raises EWriteError "写流出错".
void WriteXlsLabel(QIODevice& file, quint16 column, quint16 row, const QString& text);

// Writes the query's current view (filter and sort as they stand) to a new file.
// Answers false on any failure and, when asked, says why in words fit for the user.
// The walk leaves the last record current.
bool ExportToXls(TADOQuery& query, const QString& fileName, const QStringList& columnNames,
                 QString* failureReason = nullptr);

// The same into an open device; the file variant checks and opens, then calls this.
bool ExportToXls(TADOQuery& query, QIODevice& device, const QStringList& columnNames, QString* failureReason = nullptr);

// Rows are numbered in a 16-bit field after the header row.
constexpr int kXlsMaxRecords = 65535;
