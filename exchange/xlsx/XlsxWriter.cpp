#include "XlsxWriter.h"

#include "exchange/ExportTable.h"
#include "exchange/FileBytes.h"
#include "exchange/xlsx/XlsxParts.h"
#include "platform/TextRules.h"

#include <QFile>
#include <utility>
#include <xlsxwriter.h>

namespace {

constexpr double kMaxColumnWidth = 60;

// The library writes control characters as _xHHHH_, as spreadsheets read them;
// a text that holds such a sequence itself gets its underscore escaped (_x005F_)
// so it reads back as typed.
QString escapeForSheet(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size() + 14);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isXlsxEscapeAt(text, i))
            out += QLatin1String("_x005F_");
        else
            out += text[i];
    }
    return out;
}

class Workbook {
public:
    explicit Workbook(const QString& path) : path_(path)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;  // rows go to disk as they are written
        book_ = workbook_new_opt(QFile::encodeName(path).constData(), &options);
        if (!book_)
            fail(QStringLiteral("无法创建工作簿"));
    }
    ~Workbook()
    {
        if (book_)
            workbook_close(book_);  // only after a failure; nothing of it is kept
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    lxw_workbook* get() const { return book_; }
    void check(lxw_error error) const
    {
        if (error != LXW_NO_ERROR)
            fail(QString::fromUtf8(lxw_strerror(error)));
    }
    void close()
    {
        lxw_workbook* book = std::exchange(book_, nullptr);
        check(workbook_close(book));
    }
    [[noreturn]] void fail(const QString& why) const { throw ExchangeError(cannotWriteMessage(path_, why)); }

private:
    lxw_workbook* book_ = nullptr;
    QString path_;
};

void writeWorkbook(const QString& path, const QList<StoredContact>& contacts)
{
    Workbook book(path);
    lxw_worksheet* sheet = workbook_add_worksheet(book.get(), "通讯录");
    lxw_format* text = workbook_add_format(book.get());
    lxw_format* header = workbook_add_format(book.get());
    if (!sheet || !text || !header)
        book.fail(QStringLiteral("内存不足"));
    // The built-in text format "@": what a person types into such a cell stays text too.
    constexpr uint8_t kTextFormat = 49;
    format_set_num_format_index(text, kTextFormat);
    format_set_num_format_index(header, kTextFormat);
    format_set_bold(header);

    // Widths go before the rows: the sheet is written row by row.
    const ExportTable table = ExportTableOf(contacts);
    for (int c = 0; c < table.header.size(); ++c) {
        QList<QString> texts{table.header[c]};
        texts.reserve(table.rows.size() + 1);
        for (const QStringList& row : table.rows)
            texts.append(row[c]);
        book.check(worksheet_set_column(sheet, c, c, xlsxColumnWidth(texts), text));
    }
    worksheet_freeze_panes(sheet, 1, 0);
    for (int c = 0; c < table.header.size(); ++c)
        book.check(worksheet_write_string(sheet, 0, c, table.header[c].toUtf8().constData(), header));
    lxw_row_t row = 0;
    for (const QStringList& cells : table.rows) {
        ++row;
        for (int c = 0; c < cells.size(); ++c)
            if (!cells[c].isEmpty())
                book.check(worksheet_write_string(sheet, row, c, escapeForSheet(cells[c]).toUtf8().constData(), text));
    }
    book.close();
}

}  // namespace

double xlsxColumnWidth(const QList<QString>& texts)
{
    int widest = 0;
    for (const QString& text : texts)
        for (const QString& line : text.split(QLatin1Char('\n')))
            widest = std::max(widest, DisplayWidth(line));
    return std::min(kMaxColumnWidth, widest + 2.0);
}

void writeXlsxFile(const QString& path, const QList<StoredContact>& contacts)
{
    writeWorkbook(path, contacts);
}
