#include "XlsExport.h"

#include "export/XlsSink.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/FileSafety.h"
#include "platform/Gbk.h"
#include "platform/TextRules.h"
#include "store/ADODB.h"
#include "store/ControlsHold.h"

#include <QFile>
#include <QStringEncoder>
#include <QtEndian>
#include <cerrno>
#include <cstring>

namespace {

const char kBof[12] = {'\x09', '\x08', '\x08', '\x00', '\x00', '\x00', '\x10', '\x00', '\x00', '\x00', '\x00', '\x00'};
const char kEof[4] = {'\x0A', '\x00', '\x00', '\x00'};
constexpr qsizetype kMaxLabelText = 0xFFFF - 8;  // the body length n + 8 is 16 bits

void writeAll(QIODevice& file, const char* data, qsizetype size)
{
    if (file.write(data, size) != size)
        throw EWriteError(QStringLiteral("写流出错"));
}

bool isAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// Most cells are digits and blanks: their GBK bytes are their ASCII bytes.
QByteArray gbkBytes(const QString& text)
{
    return isAscii(text) ? text.toLatin1() : toGbk(text);
}

// toGbk for the many cells of one export: setting up a converter costs more than
// converting a cell, so one is kept for the whole walk, reset before every cell
// so each cell's bytes are what toGbk gives.
class CellEncoder {
public:
    QByteArray bytes(const QString& text)
    {
        if (isAscii(text))
            return text.toLatin1();
        if (!encoder_.isValid())
            return toGbk(text);
        encoder_.resetState();
        return encoder_.encode(text);
    }

private:
    QStringEncoder encoder_{"GB18030"};
};

void writeLabel(QIODevice& file, quint16 column, quint16 row, const QByteArray& bytes)
{
    if (bytes.size() > kMaxLabelText)
        throw EWriteError(QStringLiteral("单元格文本过长"));
    const auto n = static_cast<quint16>(bytes.size());
    char header[12];
    qToLittleEndian<quint16>(0x0204, header);
    qToLittleEndian<quint16>(n + 8, header + 2);
    qToLittleEndian<quint16>(row, header + 4);
    qToLittleEndian<quint16>(column, header + 6);
    qToLittleEndian<quint16>(0, header + 8);
    qToLittleEndian<quint16>(n, header + 10);
    writeAll(file, header, sizeof header);
    writeAll(file, bytes.constData(), bytes.size());
}

// Unlocks and closes the descriptor's file when the export ends.
class OpenExportFile {
public:
    explicit OpenExportFile(const QString& name) : file(name) {}
    ~OpenExportFile()
    {
        if (locked_)
            ReleaseLock(file);
    }
    bool lock()
    {
        locked_ = LockAgainstOtherWriters(file);
        return locked_;
    }
    QFile file;

private:
    bool locked_ = false;
};

QString describeErrno(int error)
{
    switch (error) {
    case EACCES:
    case EPERM: return QStringLiteral("没有写入权限");
    case ENOENT:
    case ENOTDIR: return QStringLiteral("文件夹不存在");
    case EISDIR: return QStringLiteral("这是一个文件夹");
    case ENOSPC:
    case EDQUOT: return QStringLiteral("磁盘空间不足");
    case EROFS: return QStringLiteral("磁盘只读");
    case ENAMETOOLONG: return QStringLiteral("文件名太长");
    case EWOULDBLOCK: return QStringLiteral("文件正被其他程序使用");
    default: return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString cannotCreate(const QString& fileName, int error)
{
    return QStringLiteral("无法创建文件“%1”:%2").arg(fileName, describeErrno(error));
}

// True when both names lead to the same file (links and "..", hard links included).
bool sameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const std::optional<FileIdentity> first = IdentityOf(a);
    return first && first == IdentityOf(b);
}

// Rows beyond 65,535 would wrap around in the row field and overwrite earlier rows.
bool tooManyRecords(const TADOQuery& query)
{
    return query.RecordCount() > kXlsMaxRecords;
}
const QString kTooManyRecords = QStringLiteral("记录超过65535条");

void setReason(QString* out, const QString& reason)
{
    if (out)
        *out = reason;
}

}  // namespace

QString EnsureExtension(const QString& name, const QString& extension)
{
    if (LowerAscii(name).contains(LowerAscii(extension)))
        return name;
    return name + extension;
}

void WriteXlsLabel(QIODevice& file, quint16 column, quint16 row, const QString& text)
{
    writeLabel(file, column, row, gbkBytes(text));
}

bool ExportToXls(TADOQuery& query, QIODevice& device, const QStringList& columnNames, QString* failureReason)
{
    // Cells collect in memory and reach the device in large pieces; whatever the
    // outcome, what was written so far is handed on before returning.
    XlsSink sink(device);
    CellEncoder encoder;
    try {
        if (tooManyRecords(query)) {
            setReason(failureReason, kTooManyRecords);
            return false;
        }
        writeAll(sink, kBof, sizeof kBof);
        for (int i = 0; i < columnNames.size(); ++i)
            WriteXlsLabel(sink, static_cast<quint16>(i), 0, columnNames[i]);

        query.First();
        {
            const ControlsHold held(query);  // the grid follows again however the walk ends
            QList<TField*> fields;           // looked up once the first record is there
            quint16 row = 0;
            while (!query.Eof()) {
                ++row;
                if (fields.isEmpty())
                    for (const QString& name : columnNames)
                        fields.append(query.FieldByName(name));
                for (int i = 0; i < fields.size(); ++i)
                    writeLabel(sink, static_cast<quint16>(i), row, encoder.bytes(fields[i]->AsString()));
                query.Next();
            }
        }
        writeAll(sink, kEof, sizeof kEof);
        sink.Finish();
        return true;
    } catch (const Exception& e) {
        sink.FinishQuietly();
        setReason(failureReason, e.Message);
    } catch (const std::exception& e) {
        sink.FinishQuietly();
        setReason(failureReason, QString::fromUtf8(e.what()));
    }
    return false;
}

bool ExportToXls(TADOQuery& query, const QString& fileName, const QStringList& columnNames, QString* failureReason)
{
    try {
        // Refusals come before the file is touched, so an existing file stays as it was.
        if (fileName.isEmpty()) {
            setReason(failureReason, QStringLiteral("没有文件名"));
            return false;
        }
        if (query.Connection && sameFile(fileName, query.Connection->DataSource())) {
            setReason(failureReason, QStringLiteral("不能覆盖数据库文件"));
            return false;
        }
        if (tooManyRecords(query)) {
            setReason(failureReason, kTooManyRecords);
            return false;
        }

        // Opened without truncating first, so a file another program holds is left whole.
        OpenExportFile out(fileName);
        // A new file is its owner's only: contacts are private. An existing one keeps its mode.
        if (!out.file.open(QIODevice::ReadWrite | QIODevice::Unbuffered,
                           QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
            setReason(failureReason, cannotCreate(fileName, errno));
            return false;
        }
        if (!out.lock()) {
            setReason(failureReason, cannotCreate(fileName, errno));
            return false;
        }
        if (out.file.size() > 0 && !out.file.resize(0)) {
            setReason(failureReason, cannotCreate(fileName, errno));
            return false;
        }
        const bool written = ExportToXls(query, out.file, columnNames, failureReason);
        out.file.close();
        return written;
    } catch (const Exception& e) {
        setReason(failureReason, e.Message);
    } catch (const std::exception& e) {
        setReason(failureReason, QString::fromUtf8(e.what()));
    }
    return false;
}
