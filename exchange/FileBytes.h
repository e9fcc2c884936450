#pragma once
// Whole files in and out for the formats, with Chinese messages naming the file.

#include <QByteArray>
#include <QFile>
#include <QString>

// The words for a file that cannot be read or written, each with the path shown
// as the system shows it: "无法读取文件 PATH：WHY", "无法写入文件 PATH：WHY".
QString cannotReadMessage(const QString& path, const QString& why);
QString cannotWriteMessage(const QString& path, const QString& why);

// Every byte of a file. Raises ExchangeError "无法读取文件 …".
QByteArray ReadWholeFile(const QString& path);
// Opens a file for reading it through once. Raises ExchangeError "无法读取文件 …".
void OpenForReading(QFile& file);
// After reading a file opened by OpenForReading: raises ExchangeError when a read failed.
void CheckReading(const QFile& file);
// Opens a file for writing anew. Raises ExchangeError "无法写入文件 …".
void OpenForWriting(QFile& file);
// Flushes and closes a file opened by OpenForWriting; a short write raises ExchangeError.
void FinishWriting(QFile& file);
// A new file holding exactly these bytes. Raises ExchangeError "无法写入文件 …".
void WriteWholeFile(const QString& path, const QByteArray& bytes);
