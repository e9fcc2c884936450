// TADOQuery and TField: the client-side recordset as callers see it.

#include "store/RecordsetImpl.h"
#include "store/SqliteHandle.h"
#include "store/StoredText.h"
#include "store/TextWidth.h"

#include <utility>

// ---- checks -------------------------------------------------------------

void TADOQuery::Impl::checkActive() const
{
    if (!active)
        fail(QStringLiteral("无法在关闭的数据集上执行该操作"));
}

void TADOQuery::Impl::checkEditing() const
{
    checkActive();
    if (!editing())
        fail(QStringLiteral("数据集不在编辑或插入状态"));
}

Cell TADOQuery::Impl::cellOf(int column) const
{
    checkActive();
    fetchIfPending();
    if (column < 0 || column >= int(columns.size()))
        fail(QStringLiteral("字段索引越界"));
    if (editing())
        return edit.cells[column];
    const Record* record = currentRecord();
    return record ? record->cell(column) : Cell();
}

void TADOQuery::Impl::ensureFields()
{
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i == fields.size()) {
            fields.push_back(std::make_unique<TField>());
            fields.back()->owner_ = q;
            fields.back()->index_ = int(i);
        }
        TField& field = *fields[i];
        field.FieldName = columns[i].name;
        field.DataKind = columns[i].blob ? TField::Blob : TField::Text;
        field.Size = columns[i].width;
    }
}

// ---- TField -------------------------------------------------------------

bool TField::IsNull() const
{
    return owner_->d->cellOf(index_).isNull;
}

QString TField::AsString() const
{
    const auto& d = owner_->d;
    const Cell cell = d->cellOf(index_);
    if (cell.isNull)
        return QString();
    const ColumnInfo& column = d->columns[index_];
    if (column.blob)
        return DecodeStoredText(AsBytes());
    return column.padded ? PadToWidth(cell.text, column.width) : cell.text;
}

void TField::SetAsString(const QString& value)
{
    const auto& d = owner_->d;
    d->checkEditing();
    if (d->columns[index_].blob) {
        SetAsBytes(value.isEmpty() ? QByteArray() : value.toUtf8());
        if (value.isEmpty())
            d->edit.cells[index_].isNull = true;
        return;
    }
    Cell& cell = d->edit.cells[index_];
    cell.isNull = value.isEmpty();
    cell.text = cell.isNull ? QString() : value;
    d->edit.changed[index_] = true;
}

QByteArray TField::AsBytes() const
{
    const auto& d = owner_->d;
    const Cell cell = d->cellOf(index_);
    if (cell.isNull)
        return QByteArray();
    if (!d->columns[index_].blob)
        return cell.text.toUtf8();
    if (d->editing()) {
        if (d->edit.changed[index_] || d->state == TADOQuery::dsInsert)
            return d->edit.blobs[index_];
    }
    return d->readBlob(index_);
}

void TField::SetAsBytes(const QByteArray& value)
{
    const auto& d = owner_->d;
    d->checkEditing();
    Cell& cell = d->edit.cells[index_];
    if (!d->columns[index_].blob) {
        SetAsString(QString::fromUtf8(value));
        return;
    }
    cell.isNull = false;
    cell.blobLength = value.size();
    d->edit.blobs[index_] = value;
    d->edit.changed[index_] = true;
}

// ---- TADOQuery ----------------------------------------------------------

TADOQuery::TADOQuery(QString name, QObject* parent)
    : QObject(parent), Name(std::move(name)), d(std::make_unique<Impl>(this))
{
}

TADOQuery::~TADOQuery() = default;

void TADOQuery::Open()
{
    const std::optional<int> counted = std::exchange(d->countedRecords, std::nullopt);
    if (d->active)
        return;
    d->load(counted);
    d->ensureFields();
    d->active = true;
    d->state = dsBrowse;
    try {
        d->filter.reset();
        if (d->filtered)
            d->compileFilter(d->filterText);
        d->sortKeys = d->resolveSort(d->sortText);
    } catch (...) {
        Close();
        throw;
    }
    d->rebuildView(false);
}

void TADOQuery::Close()
{
    if (!d->active)
        return;
    d->cancel();
    d->active = false;
    d->state = dsInactive;
    d->ahead.reset();  // the thread, if still reading, drops what it read
    d->pendingRows.reset();
    d->pendingDone = false;
    d->records = std::deque<Record>();
    d->fetchPending = false;
    d->view.clear();
    d->current = -1;
    d->bof = d->eof = true;
    d->filter.reset();
    d->notifyReset();
}

bool TADOQuery::Active() const
{
    return d->active;
}

void TADOQuery::SetCountedRecords(int records)
{
    d->countedRecords = records;
}

void TADOQuery::FetchAll()
{
    d->fetchIfPending();
}

bool TADOQuery::AllRecordsRead() const
{
    return d->active && !d->fetchPending && !d->fetchFailed;
}

void TADOQuery::FetchFirst(int records)
{
    d->fetchFirst(records);
}

void TADOQuery::ReadAhead()
{
    if (!d->active || !Connection)
        return;
    if (d->fetchPending && !d->pendingRows && d->records.empty() && !d->ahead)
        d->readAheadRecords();
    else if (!AllRecordsRead())
        Connection->ReadAhead(d->table);
}

void TADOQuery::SetActive(bool on)
{
    on ? Open() : Close();
}

void TADOQuery::ExecSQL()
{
    sqlite3* handle = d->db();
    d->sqlite([&] { ExecuteAll(handle, SQL.join(QLatin1Char('\n'))); });
}

TADOQuery::TDataSetState TADOQuery::State() const
{
    return d->state;
}

int TADOQuery::RecordCount() const
{
    d->checkActive();
    if (d->fetchPending)
        return d->pendingCount;
    return int(d->view.size());
}

bool TADOQuery::IsEmpty() const
{
    if (d->fetchPending)
        return d->pendingCount == 0;
    return !d->active || (d->view.empty() && d->state != dsInsert);
}

int TADOQuery::RecNo() const
{
    if (d->fetchPending)
        return d->pendingCount > 0 ? 1 : -1;  // the first record is current after an open
    if (!d->active || d->view.empty() || d->state == dsInsert)
        return -1;
    return d->current + 1;
}

void TADOQuery::SetRecNo(int recNo)
{
    d->readyToMove();
    if (recNo < 1 || recNo > int(d->view.size()))
        return;
    d->bof = d->eof = false;
    d->moveTo(recNo - 1);
}

void TADOQuery::First()
{
    d->readyToMove();
    d->bof = true;
    d->eof = d->view.empty();
    d->moveTo(d->view.empty() ? -1 : 0);
}

void TADOQuery::Last()
{
    d->readyToMove();
    d->eof = true;
    d->bof = d->view.empty();
    d->moveTo(int(d->view.size()) - 1);
}

void TADOQuery::Next()
{
    d->readyToMove();
    if (d->current + 1 < int(d->view.size())) {
        d->bof = d->eof = false;
        d->moveTo(d->current + 1);
    } else {
        d->eof = true;
    }
}

void TADOQuery::Prior()
{
    d->readyToMove();
    if (d->current > 0) {
        d->bof = d->eof = false;
        d->moveTo(d->current - 1);
    } else {
        d->bof = true;
    }
}

bool TADOQuery::Eof() const
{
    if (d->fetchPending)
        return d->pendingCount == 0;
    return !d->active || d->eof;
}

bool TADOQuery::Bof() const
{
    return !d->active || d->bof;
}

QString TADOQuery::Filter() const
{
    return d->filterText;
}

void TADOQuery::SetFilter(const QString& text)
{
    if (d->keptForOpening(d->filterText, text))
        return;
    if (text == d->filterText && d->filtered)
        return;
    d->checkBrowseMode();
    std::unique_ptr<FilterExpr> previous = std::move(d->filter);
    try {
        d->compileFilter(text);
    } catch (...) {
        d->filter = std::move(previous);
        throw;
    }
    d->filterText = text;
    if (d->filtered)
        d->rebuildView(false);
}

bool TADOQuery::Filtered() const
{
    return d->filtered;
}

void TADOQuery::SetFiltered(bool on)
{
    if (d->keptForOpening(d->filtered, on) || on == d->filtered)
        return;
    if (on && !d->filter)
        d->compileFilter(d->filterText);
    d->checkBrowseMode();
    d->filtered = on;
    d->rebuildView(false);
}

QString TADOQuery::Sort() const
{
    return d->sortText;
}

void TADOQuery::SetSort(const QString& text)
{
    if (d->keptForOpening(d->sortText, text))
        return;
    std::vector<SortKey> keys = d->resolveSort(text);
    d->checkBrowseMode();
    d->sortText = text;
    d->sortKeys = std::move(keys);
    d->rebuildView(true);
}

void TADOQuery::Append()
{
    d->fetchIfPending();
    d->checkActive();
    d->checkWritable();
    d->checkBrowseMode();
    d->startInsert();
}

void TADOQuery::Edit()
{
    d->fetchIfPending();
    d->checkActive();
    if (d->editing())
        return;
    d->checkWritable();
    if (d->view.empty()) {
        d->startInsert();
        return;
    }
    const Record& record = d->records[d->view[d->current]];
    d->edit.cells.clear();
    for (int i = 0; i < int(d->columns.size()); ++i)
        d->edit.cells.push_back(record.cell(i));
    d->edit.changed.assign(d->columns.size(), false);
    d->edit.blobs.assign(d->columns.size(), QByteArray());
    d->state = dsEdit;
}

void TADOQuery::Post()
{
    d->fetchIfPending();
    d->checkActive();
    d->post();
}

void TADOQuery::Cancel()
{
    d->cancel();
}

void TADOQuery::Delete()
{
    d->fetchIfPending();
    d->checkActive();
    d->deleteCurrent();
}

void TADOQuery::AppendRecord(const QList<QVariant>& values)
{
    d->fetchIfPending();
    Append();
    try {
        if (values.size() > int(d->columns.size()))
            d->fail(QStringLiteral("值的个数多于字段数"));
        for (int i = 0; i < values.size(); ++i) {
            const QVariant& value = values.at(i);
            if (value.isNull())
                continue;
            if (value.typeId() == QMetaType::QByteArray && d->columns[i].blob)
                d->fields[i]->SetAsBytes(value.toByteArray());
            else
                d->fields[i]->SetAsString(value.toString());
        }
    } catch (...) {
        d->cancel();
        throw;
    }
    d->post();
}

int TADOQuery::FieldCount() const
{
    return d->active ? int(d->columns.size()) : 0;
}

TField* TADOQuery::Fields(int index)
{
    d->checkActive();
    if (index < 0 || index >= int(d->columns.size()))
        d->fail(QStringLiteral("字段索引越界"));
    return d->fields[index].get();
}

TField* TADOQuery::FindField(const QString& name)
{
    if (!d->active)
        return nullptr;
    const int index = d->columnIndex(name);
    return index < 0 ? nullptr : d->fields[index].get();
}

TField* TADOQuery::FieldByName(const QString& name)
{
    d->checkActive();
    TField* field = FindField(name);
    if (!field)
        d->fail(QStringLiteral("字段 '%1' 未找到").arg(name));
    return field;
}

qint64 TADOQuery::RecordId(int viewRow) const
{
    d->fetchIfPending();
    if (!d->active || viewRow < 0 || viewRow >= int(d->view.size()))
        return 0;
    return d->records[d->view[viewRow]].rowid;
}

QString TADOQuery::DisplayText(int viewRow, int fieldIndex) const
{
    const Record* ahead = d->readAhead(viewRow);
    if (!ahead)
        d->fetchIfPending();
    if (!d->active || (!ahead && (viewRow < 0 || viewRow >= int(d->view.size()))) || fieldIndex < 0
        || fieldIndex >= int(d->columns.size()))
        return QString();
    const Record& record = ahead ? *ahead : d->records[d->view[viewRow]];
    const ColumnInfo& column = d->columns[fieldIndex];
    if (column.blob)
        return record.isNull(fieldIndex) ? QStringLiteral("(Blob)") : QStringLiteral("(BLOB)");
    if (record.isNull(fieldIndex))
        return QString();
    const QString text = record.text(fieldIndex).toString();
    return column.padded ? PadToWidth(text, column.width) : text;
}

bool TADOQuery::IsNullAt(int viewRow, int fieldIndex) const
{
    const Record* ahead = d->readAhead(viewRow);
    if (!ahead)
        d->fetchIfPending();
    if (!d->active || (!ahead && (viewRow < 0 || viewRow >= int(d->view.size()))) || fieldIndex < 0
        || fieldIndex >= int(d->columns.size()))
        return true;
    return (ahead ? *ahead : d->records[d->view[viewRow]]).isNull(fieldIndex);
}

void TADOQuery::DisableControls()
{
    ++d->holdCount;
}

void TADOQuery::EnableControls()
{
    if (d->holdCount == 0)
        return;
    if (--d->holdCount > 0 || !d->heldChanges)
        return;
    d->heldChanges = false;
    d->notifyReset();
}

bool TADOQuery::ControlsDisabled() const
{
    return d->holdCount > 0;
}
