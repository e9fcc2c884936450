#pragma once
// The .xls files the window's 导出 writes: a bare BIFF stream (no OLE2
// container) of a BOF record, one LABEL per cell with its text in GBK, and an
// EOF record. Older versions of the program padded texts to the column's width;
// the reader leaves blanks to the fitting, which trims them. Other records are
// stepped over. A stream cut off before its EOF record (an export that failed
// half-way) gives the rows it holds and a failure saying the file ends early.

#include "exchange/sheet/SheetRows.h"

#include <QByteArray>

// True when the bytes start like such a stream (a BOF record).
bool looksLikeBareBiff(const QByteArray& bytes);
SheetRows readBareBiff(const QByteArray& bytes);
