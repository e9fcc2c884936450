#pragma once
// What a file looks like by its first bytes, for a reader handed something
// other than its own kind (an .xlsx workbook saved as .csv, a picture): the
// message names the kind, never the bytes.

#include <QByteArray>
#include <QString>

struct FileLook {
    bool text = false;  // text a CSV reader may read (any encoding, UTF-16 included)
    QString kind;       // ".xlsx 工作簿", "JPEG 图片", "二进制文件", "文本文件"
};

// How many bytes from the start the look needs.
constexpr qsizetype kFileLookBytes = 64 * 1024;

FileLook fileLook(const QByteArray& bytes);
// The same from the first kFileLookBytes bytes of a file of fileSize bytes.
FileLook fileLook(const QByteArray& head, qsizetype fileSize);

// "不是 WHAT，看起来是 KIND" for a reader's message.
QString notWhatItSays(const QString& expected, const FileLook& look);
