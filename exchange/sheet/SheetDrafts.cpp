#include "SheetDrafts.h"

#include "exchange/FileBytes.h"
#include "exchange/sheet/HeaderMeaning.h"
#include "exchange/sheet/ShownText.h"
#include "platform/TextRules.h"
#include "platform/Trim.h"
#include "store/ContactSchema.h"

#include <algorithm>

namespace {

constexpr int kHeaderSearchRows = 20;
constexpr int kListedRows = 10;  // rows a note names before it says "等"

int filledCells(const SheetRow& row)
{
    return static_cast<int>(
        std::count_if(row.cells.begin(), row.cells.end(), [](const SheetCell& c) { return !IsAllPadding(c.text); }));
}

// How many filled cells name a column we know, and how many are filled.
struct HeaderScore {
    int known = 0;
    int filled = 0;
    bool mostlyKnown() const { return known > 0 && known * 2 >= filled; }
};

HeaderScore headerScore(const SheetRow& row)
{
    HeaderScore score;
    for (const SheetCell& cell : row.cells) {
        if (IsAllPadding(cell.text))
            continue;
        ++score.filled;
        const HeaderRole role = headerMeaning(TrimControl(cell.text)).role;
        if (role != HeaderRole::Unknown && role != HeaderRole::Ignored)
            ++score.known;
    }
    return score;
}

QString rowText(const SheetRow& row)
{
    QStringList texts;
    for (const SheetCell& cell : row.cells)
        if (!IsAllPadding(cell.text))
            texts.append(TrimControl(cell.text));
    return shownText(texts.join(u' '), 30);
}

bool hasDigitRun(const QString& text, int length)
{
    int run = 0;
    for (QChar c : text) {
        run = c.isDigit() ? run + 1 : 0;
        if (run >= length)
            return true;
    }
    return false;
}

bool isEmptyDraft(const ContactDraft& d)
{
    return d.extras.isEmpty() && d.photo.isEmpty() && d.leftOut.isEmpty()
           && std::all_of(d.texts.begin(), d.texts.end(), [](const QString& t) { return IsAllPadding(t); });
}

QString listed(const QStringList& items)
{
    return items.mid(0, kListedRows).join(QStringLiteral("、"))
           + (items.size() > kListedRows ? QStringLiteral(" 等") : QString());
}

}  // namespace

SheetTable::SheetTable(QString fileName, DraftSink& sink) : fileName_(std::move(fileName)), sink_(sink) {}

void SheetTable::add(SheetRow row)
{
    if (reader_) {
        addBelowHeader(std::move(row));
        return;
    }
    if (filledCells(row) == 0)
        return;  // blank rows above the header say nothing
    beforeHeader_.append(std::move(row));
    if (headerScore(beforeHeader_.last()).mostlyKnown())
        takeHeader(beforeHeader_.size() - 1);
    else if (beforeHeader_.size() == kHeaderSearchRows)
        takeHeader(-1);
}

void SheetTable::fail(int line, QString reason)
{
    failures_.append({line, std::move(reason)});
}

// index: the header among the rows held, or -1 for the first that names any known column.
void SheetTable::takeHeader(qsizetype index)
{
    if (index < 0) {
        const auto found = std::find_if(beforeHeader_.begin(), beforeHeader_.end(),
                                        [](const SheetRow& r) { return headerScore(r).known > 0; });
        if (found == beforeHeader_.end()) {
            QStringList cells;
            for (const SheetCell& cell : beforeHeader_.first().cells)
                if (!IsAllPadding(cell.text) && cells.size() < kListedRows)
                    cells.append(shownText(TrimControl(cell.text)));
            throw ExchangeError(
                cannotReadMessage(fileName_, QStringLiteral("表头中没有认识的列（认识的有 %1 等）；表头中的列为：%2")
                                                 .arg(ContactTextColumns().join(QStringLiteral("、")),
                                                      cells.join(QStringLiteral("、")))));
        }
        index = found - beforeHeader_.begin();
    }
    header_ = beforeHeader_[index];
    QList<HeaderMeaning> meanings;
    for (const SheetCell& cell : header_.cells) {
        while (meanings.size() < cell.column)
            meanings.append(numberedColumn(static_cast<int>(meanings.size())));
        const QString name = TrimControl(cell.text);
        meanings.append(name.isEmpty() ? numberedColumn(cell.column) : headerMeaning(name));
    }
    headerColumns_ = filledCells(header_);
    firstColumn_ = std::find_if(header_.cells.begin(), header_.cells.end(), [](const SheetCell& c) {
                       return !IsAllPadding(c.text);
                   })->column;
    reader_.emplace(std::move(meanings));
    for (qsizetype i = 0; i < index; ++i)
        titles_.append(rowText(beforeHeader_[i]));
    nextLine_ = header_.line + header_.lines;
    QList<SheetRow> rest = beforeHeader_.mid(index + 1);
    beforeHeader_.clear();
    for (SheetRow& row : rest)
        addBelowHeader(std::move(row));
}

bool SheetTable::isSectionRow(const SheetRow& row) const
{
    if (headerColumns_ < 3 || filledCells(row) != 1)
        return false;
    const auto cell =
        std::find_if(row.cells.begin(), row.cells.end(), [](const SheetCell& c) { return !IsAllPadding(c.text); });
    // A number alone (a row's running number, a phone) titles no section.
    const bool onlyNumber =
        std::all_of(cell->text.begin(), cell->text.end(), [](QChar c) { return c.isDigit() || c.unicode() <= 32; });
    return cell->column <= firstColumn_ && !onlyNumber && !hasDigitRun(cell->text, 5);
}

// A row that numbers the columns (1, 2, 3 ...), as templates put under or over their header.
bool SheetTable::numbersColumns(const SheetRow& row) const
{
    int expected = 0, filled = 0;
    for (const SheetCell& cell : row.cells) {
        const QString text = TrimControl(cell.text);
        if (text.isEmpty())
            continue;
        bool number = false;
        const int n = text.toInt(&number);
        if (!number || (expected > 0 && n != expected) || (expected == 0 && n > 1))
            return false;
        expected = n + 1;
        ++filled;
    }
    return filled >= 3;
}

bool SheetTable::repeatsHeader(const SheetRow& row) const
{
    int same = 0;
    for (const SheetCell& cell : row.cells) {
        if (IsAllPadding(cell.text))
            continue;
        const auto h = std::find_if(header_.cells.begin(), header_.cells.end(),
                                    [&](const SheetCell& c) { return c.column == cell.column; });
        if (h == header_.cells.end() || TrimControl(h->text) != TrimControl(cell.text))
            return false;
        ++same;
    }
    return same >= 2 || (same == 1 && headerColumns_ == 1);
}

void SheetTable::addBelowHeader(SheetRow&& row)
{
    // Lines no row stands on are blank; they count once a row with text follows.
    blankPending_ += std::max(0, row.line - nextLine_);
    nextLine_ = std::max(nextLine_, row.line + row.lines);
    if (filledCells(row) == 0) {
        ++blankPending_;
        return;
    }
    if (isSectionRow(row)) {
        sections_.append(QStringLiteral("第 %1 行 %2").arg(row.line).arg(rowText(row)));
    } else if (repeatsHeader(row)) {
        repeatedHeaders_.append(QStringLiteral("第 %1 行").arg(row.line));
    } else if (numbersColumns(row)) {
        columnNumbers_.append(QStringLiteral("第 %1 行").arg(row.line));
    } else {
        ContactDraft draft = reader_->read(row);
        if (isEmptyDraft(draft)) {
            ++blankPending_;  // only a running number or filler values
            return;
        }
        sink_.take(std::move(draft));
    }
    blanks_ += blankPending_;
    blankPending_ = 0;
}

QStringList SheetTable::finish()
{
    if (!reader_) {
        if (beforeHeader_.isEmpty())
            throw ExchangeError(cannotReadMessage(fileName_, QStringLiteral("其中没有表头，读不出任何联系人")));
        takeHeader(-1);
    }
    QStringList notes;
    if (!titles_.isEmpty())
        notes.append(QStringLiteral("表头在第 %1 行，其上的 %2 行不是联系人，未导入：%3")
                         .arg(header_.line)
                         .arg(titles_.size())
                         .arg(listed(titles_)));
    QStringList skipped;
    if (!sections_.isEmpty())
        skipped.append(QStringLiteral("分节行 %1 行（%2）").arg(sections_.size()).arg(listed(sections_)));
    if (!repeatedHeaders_.isEmpty())
        skipped.append(
            QStringLiteral("重复的表头 %1 行（%2）").arg(repeatedHeaders_.size()).arg(listed(repeatedHeaders_)));
    if (!columnNumbers_.isEmpty())
        skipped.append(QStringLiteral("列号行 %1 行（%2）").arg(columnNumbers_.size()).arg(listed(columnNumbers_)));
    if (blanks_ > 0)
        skipped.append(QStringLiteral("空行 %1 行").arg(blanks_));
    if (!skipped.isEmpty())
        notes.append(QStringLiteral("跳过%1，不是联系人").arg(skipped.join(QStringLiteral("，"))));
    // Failures of rows come in line order with the drafts' report.
    std::stable_sort(failures_.begin(), failures_.end(),
                     [](const DraftFailure& a, const DraftFailure& b) { return a.line < b.line; });
    for (DraftFailure& failure : failures_)
        sink_.take(std::move(failure));
    return notes;
}

QStringList streamSheet(const SheetRows& sheet, const QString& fileName, DraftSink& sink)
{
    SheetTable table(fileName, sink);
    for (const SheetRow& row : sheet.rows)
        table.add(row);
    for (const SheetRows::Failure& f : sheet.failures)
        table.fail(f.line, f.reason);
    return table.finish();
}

DraftSet draftsFromSheet(const SheetRows& sheet, const QString& fileName)
{
    return gatherDrafts([&](DraftSink& sink) { return streamSheet(sheet, fileName, sink); });
}

DraftSet gatherDrafts(const std::function<QStringList(DraftSink&)>& read)
{
    DraftGathering gathered;
    QStringList notes = read(gathered);
    gathered.set.notes = std::move(notes);
    return std::move(gathered.set);
}
