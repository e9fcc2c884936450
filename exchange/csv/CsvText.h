#pragma once
// A CSV file's bytes as text. A byte order mark decides first (UTF-8, UTF-16,
// GB18030). Without one, UTF-16 is told by its zero bytes, text that is valid
// UTF-8 is UTF-8; otherwise ICU's
// charset detector chooses among GB18030, Big5, Shift_JIS and UTF-16, and
// GB18030 (Excel on Simplified-Chinese Windows saves CSV in GBK) is taken
// when it cannot tell, unless it would garble Western text that
// Windows-1252 reads (WesternText.h).

#include "exchange/FileBytes.h"

#include <QByteArray>
#include <QString>
#include <functional>

struct CsvEncoding {
    QString name;  // as the report names it and QStringDecoder knows it: "UTF-8", "GB18030", "Big5", "UTF-16LE", ...
    QString how;   // how it was chosen: "有 BOM", "自动识别", "无法确定，按默认"
    int bomLength = 0;
};

// The file is read a piece at a time: a large one is never held whole.
CsvEncoding detectCsvEncoding(const PieceReader& file);

// The text of the file after the byte order mark, decoded a piece of about a
// megabyte at a time: each call appends the next piece to its argument and
// returns false when nothing is left. file must outlive it.
std::function<bool(QString&)> csvTextPieces(const PieceReader& file, const CsvEncoding& encoding);

// The encoding ICU's detector finds in bytes among the ones a CSV file comes
// in, or empty when none fits.
QString detectCharset(const QByteArray& bytes);
