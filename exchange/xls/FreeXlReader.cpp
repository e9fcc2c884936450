#include "FreeXlReader.h"

#include "exchange/ContactDraft.h"
#include "exchange/FileBytes.h"
#include "exchange/sheet/CellNumber.h"
#include "exchange/xls/Isolated.h"

#include <QFile>
#include <freexl.h>

namespace {

// freexl_open hands out a handle even when it fails; it must be closed either way.
class Workbook {
public:
    Workbook() = default;
    ~Workbook()
    {
        if (handle_)
            freexl_close(handle_);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;
    const void** out() { return &handle_; }
    const void* get() const { return handle_; }

private:
    const void* handle_ = nullptr;
};

QString freeXlReason(int code)
{
    switch (code) {
    case FREEXL_FILE_NOT_FOUND: return QStringLiteral("文件不存在");
    case FREEXL_INSUFFICIENT_MEMORY: return QStringLiteral("内存不足");
    case FREEXL_UNSUPPORTED_CHARSET:
    case FREEXL_INVALID_CHARACTER: return QStringLiteral("文字的编码无法识别");
    default: return QStringLiteral("不是可以读取的 Excel 工作簿,或者文件已损坏（FreeXL 错误 %1）").arg(code);
    }
}

QString cellText(const FreeXL_CellValue& value)
{
    switch (value.type) {
    case FREEXL_CELL_INT: return QString::number(value.value.int_value);
    case FREEXL_CELL_DOUBLE: return numberText(value.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME: return value.value.text_value ? QString::fromUtf8(value.value.text_value) : QString();
    default: return QString();
    }
}

}  // namespace

bool looksLikeOle2(const QByteArray& bytes)
{
    return bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

// FreeXL in this process; the parent below runs it in a child of its own.
static SheetRows readWithFreeXl(const QString& path, const QString& fileName)
{
    Workbook book;
    int rc = freexl_open(QFile::encodeName(path).constData(), book.out());
    if (rc != FREEXL_OK)
        throw ExchangeError(cannotReadMessage(fileName, freeXlReason(rc)));
    unsigned int info = 0;
    if (freexl_get_info(book.get(), FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
        throw ExchangeError(cannotReadMessage(fileName, QStringLiteral("工作簿有密码保护")));
    if (freexl_get_info(book.get(), FREEXL_BIFF_SHEET_COUNT, &info) != FREEXL_OK || info == 0)
        throw ExchangeError(cannotReadMessage(fileName, QStringLiteral("工作簿中没有工作表")));
    if ((rc = freexl_select_active_worksheet(book.get(), 0)) != FREEXL_OK)
        throw ExchangeError(cannotReadMessage(fileName, freeXlReason(rc)));
    unsigned int rows = 0;
    unsigned short columns = 0;
    if ((rc = freexl_worksheet_dimensions(book.get(), &rows, &columns)) != FREEXL_OK)
        throw ExchangeError(cannotReadMessage(fileName, freeXlReason(rc)));

    SheetRows sheet;
    for (unsigned int r = 0; r < rows; ++r) {
        SheetRow row;
        row.line = static_cast<int>(r) + 1;
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(book.get(), r, c, &value) != FREEXL_OK)
                continue;
            QString text = cellText(value);
            if (!text.isEmpty())
                row.cells.append({c, std::move(text)});
        }
        if (!row.cells.isEmpty())
            sheet.rows.append(std::move(row));
    }
    return sheet;
}

SheetRows readOle2Workbook(const QString& path, const QString& fileName)
{
    // FreeXL 1.0.6 reads past its buffers on some damaged workbooks (its string
    // conversion); in a child process such a file costs the child, not the book.
    return runIsolated(fileName, [&] { return readWithFreeXl(path, fileName); });
}
