#include "Unit_main.h"

#include "export/XlsExport.h"
#include "forms/ClipboardLines.h"
#include "forms/ContactColumns.h"
#include "forms/DBGrid.h"
#include "forms/SearchFilter.h"
#include "forms/StatusBar.h"
#include "photo/ImageBox.h"
#include "photo/PastePhoto.h"
#include "photo/PhotoField.h"
#include "photo/PictureFile.h"
#include "photo/PictureFormats.h"
#include "platform/AppPaths.h"
#include "platform/Desktop.h"
#include "platform/HandlerGuard.h"
#include "platform/Trim.h"
#include "store/AdoxCatalog.h"
#include "store/BookHeadStart.h"
#include "store/ControlsHold.h"
#include "store/DbHelpers.h"
#include "store/KeptCount.h"
#include "ui/MessageBoxes.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

TForm_main* Form_main = nullptr;

namespace {

// The text of the clipboard; the empty text when it holds none.
QString ClipboardText()
{
    const QMimeData* data = desktop().Clipboard();
    return data && data->hasText() ? data->text() : QString();
}

}  // namespace

TForm_main::TForm_main(QWidget* parent) : QWidget(parent)
{
    ADOQuery1.Connection = &ADOConnection1;
    // The login window comes before anyone sees the records: the start-up only
    // counts them, and they are read when the window is first shown.
    ADOQuery1.DeferFetch = true;
    CreateControls();
    BindEvents();
    // The grid's first rows are drawn before the rest is read; the rest follows
    // at once, and a moment later at the latest should the grid not be drawn.
    connect(DBGrid1, &TDBGrid::Painted, this, &TForm_main::FetchRemainingRecords, Qt::QueuedConnection);
    Guarded([this] { FormCreate(); });
}

TForm_main::~TForm_main()
{
    // The grid must not follow the query while the members go.
    DBGrid1->SetDataSource(nullptr);
    if (Form_main == this)
        Form_main = nullptr;
}

void TForm_main::BindEvents()
{
    const auto bind = [this](QPushButton* button, void (TForm_main::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
    };
    bind(BitBtn1, &TForm_main::BitBtn1Click);
    bind(BitBtn2, &TForm_main::BitBtn2Click);
    bind(BitBtn3, &TForm_main::BitBtn3Click);
    bind(BitBtn4, &TForm_main::BitBtn4Click);
    bind(BitBtn5, &TForm_main::BitBtn5Click);
    bind(BitBtn6, &TForm_main::BitBtn6Click);
    bind(BitBtn7, &TForm_main::BitBtn7Click);
    bind(BitBtn8, &TForm_main::BitBtn8Click);
    bind(BitBtn9, &TForm_main::BitBtn9Click);
    connect(DBGrid1, &TDBGrid::CellClick, this, [this](int column) { Guarded([&] { DBGrid1CellClick(column); }); });
    connect(DBGrid1, &TDBGrid::TitleClick, this, [this](int column) { Guarded([&] { DBGrid1TitleClick(column); }); });
    connect(StatusBar1, &TStatusBar::Click, this, [this] { Guarded([&] { StatusBar1Click(); }); });
}

void TForm_main::showEvent(QShowEvent* event)
{
    // The grid is drawn from here on: the records it shows first are read
    // before it is, every other look at the records reads them all.
    Guarded([this] { ADOQuery1.FetchFirst(FirstRowsRead); });
    QTimer::singleShot(FetchRemainingAfterMs, this, &TForm_main::FetchRemainingRecords);
    QWidget::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    // Centred on the desktop the first time it is shown.
    if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        const QRect frame = frameGeometry();
        move(screen->geometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
    }
}

void TForm_main::FetchRemainingRecords()
{
    Guarded([this] {
        ADOQuery1.FetchAll();
        // Every contact is read once anyway: the count the book keeps for the next start is checked against them.
        if (!countCheck_ || !ADOQuery1.AllRecordsRead() || ADOQuery1.Filtered())
            return;
        const bool shownWrong = countCheck_->Keep(ADOQuery1.RecordCount());
        countCheck_.reset();
        if (shownWrong)
            SetPanelText(1, RecordCountText(ADOQuery1.RecordCount()));
    });
}

void TForm_main::ReadAheadBeforeLogin()
{
    if (ADOQuery1.Active() && !ADOQuery1.AllRecordsRead())
        ADOQuery1.ReadAhead();
}

QString TForm_main::PanelText(int panel) const
{
    return StatusBar1->PanelText(panel);
}

void TForm_main::SetPanelText(int panel, const QString& text)
{
    StatusBar1->SetPanelText(panel, text);
}

QStringList TForm_main::ContactFormTexts() const
{
    return {ComboBox1->currentText(),
            Edit1->text(),
            Edit2->text(),
            Edit3->text(),
            Edit4->text(),
            Edit5->text(),
            Edit6->text()};
}

void TForm_main::ClearContactForm()
{
    ComboBox1->setEditText(QString());
    for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6})
        edit->clear();
}

// The database bootstrap: open the file beside the executable, or create it with the contact table.
void TForm_main::FormCreate()
{
    const QString path = DatabasePathFor(ExecutablePath());
    RemoveAbandonedCreations(path);
    if (QFileInfo(path).isFile()) {
        // The program's start may have opened and counted the book already.
        if (!OpenFromHeadStart(ADOConnection1, ADOQuery1, path, ContactSchema::DatabasePassword(),
                               ContactSchema::ContactTable())) {
            OpenJetDatabase(ADOConnection1, path, ContactSchema::DatabasePassword());
            OpenTable(ADOQuery1, ContactSchema::ContactTable());
        }
    } else {
        // The table is made in the new file before the file takes the book's
        // name: a second copy starting meanwhile never opens a book without it.
        // A copy that lost the race to create opens the winner's book, which has it.
        const QStringList script{ContactSchema::CreateContactTable()};
        CreateJetDatabase(path, ContactSchema::DatabasePassword(), script);
        OpenJetDatabase(ADOConnection1, path, ContactSchema::DatabasePassword());
        OpenTable(ADOQuery1, ContactSchema::ContactTable());
    }
    SetPanelText(1, RecordCountText(ADOQuery1.RecordCount()));  // a closed query raises here
    countCheck_.emplace(ADOConnection1.Handle());
}

// 新建: append the fields as a new record, with the photo box's picture.
void TForm_main::BitBtn1Click()
{
    if (Edit1->text().isEmpty())
        return;
    // An icon or metafile cannot be stored as JPEG: refuse before anything is stored.
    CheckPhotoStorable(Image1);
    ADOQuery1.Append();
    PostContactForm(true);
    Image1->Clear();
    ComboBox1->setEditText(QString());
    SetPanelText(0, Edit1->text());
    SetPanelText(1, RecordCountText(ADOQuery1.RecordCount()));
    for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6})
        edit->clear();
}

// 修改: overwrite the current record with the fields (a new record when the view is empty).
void TForm_main::BitBtn2Click()
{
    if (Edit1->text().isEmpty())
        return;
    if (!ConfirmBox(QStringLiteral("确定要覆盖原来数据吗?")))
        return;
    CheckPhotoStorable(Image1);
    ADOQuery1.Edit();
    PostContactForm(false);
    Image1->Clear();
    SetPanelText(1, RecordCountText(ADOQuery1.RecordCount()));
    ClearContactForm();
}

void TForm_main::PostContactForm(bool byPosition)
{
    try {
        const QStringList texts = ContactFormTexts();
        const QStringList& columns = ContactTextColumns();
        for (int i = 0; i < int(columns.size()); ++i)
            (byPosition ? ADOQuery1.Fields(i) : ADOQuery1.FieldByName(columns[i]))->SetAsString(texts[i]);
        // The record is already being edited: the photo joins it, and its post stores both.
        if (!SavePhotoToField(Image1, PhotoColumn(), ADOQuery1))
            ADOQuery1.Post();
    } catch (...) {
        ADOQuery1.Cancel();
        throw;
    }
}

// A click on a data cell: the clicked record back into the fields, trimmed, with its photo.
void TForm_main::DBGrid1CellClick(int /*column*/)
{
    const auto text = [this](ContactText column) {
        return TrimControl(ADOQuery1.FieldByName(ContactTextColumn(column))->AsString());
    };
    ComboBox1->setEditText(text(ContactText::Category));
    Edit1->setText(text(ContactText::Name));
    SetPanelText(0, Edit1->text());
    SetPanelText(2, PositionText(ADOQuery1.RecNo()));
    Edit2->setText(text(ContactText::Birthday));
    Edit3->setText(text(ContactText::Phone));
    Edit4->setText(text(ContactText::QQ));
    Edit5->setText(text(ContactText::Address));
    Edit6->setText(text(ContactText::Note));
    LoadPhotoFromField(Image1, PhotoColumn(), ADOQuery1);
}

// 文件照片: a picture file chosen in the picture dialog into the photo box.
void TForm_main::BitBtn4Click()
{
    const std::optional<QString> fileName = desktop().OpenPictureFileName(this, PictureDialogFilter());
    if (!fileName)
        return;
    LoadPictureFromFile(Image1, *fileName);
}

// 查询: every filled-in field becomes a condition; no field at all shows every record.
void TForm_main::BitBtn3Click()
{
    const QString filter = BuildSearchFilter(ContactFormTexts());
    if (!filter.isEmpty()) {
        ADOQuery1.SetFilter(filter);
        ADOQuery1.SetFiltered(true);
    } else {
        ADOQuery1.SetFiltered(false);
    }
    SetPanelText(1, RecordCountText(ADOQuery1.RecordCount()));
}

// 删除: the current record goes, after a question.
void TForm_main::BitBtn5Click()
{
    if (!ConfirmBox(QStringLiteral("真要删除这个记录吗？")))
        return;
    ADOQuery1.Delete();
    SetPanelText(1, RecordCountText(ADOQuery1.RecordCount()));
}

// 批量增加: one record per clipboard line, the line as the name, the other fields as typed.
void TForm_main::BitBtn6Click()
{
    if (!ConfirmBox(QStringLiteral("你已经提前复制数据和设置好了吗?")))
        return;
    const QString category = ComboBox1->currentText();
    const QString birthday = Edit2->text();
    const QString telephone = Edit3->text();
    const QString qq = Edit4->text();
    const QString address = Edit5->text();
    const QString note = Edit6->text();
    const QStringList lines = SplitClipboardLines(ClipboardText());
    {
        const ControlsHold held(ADOQuery1);  // the grid shows the new records once, at the end
        for (const QString& line : lines) {
            const QString name = TrimControl(line);
            if (name.isEmpty())
                continue;
            ADOQuery1.AppendRecord({category, name, birthday, telephone, qq, address, note});
        }
    }
    SetPanelText(1, RecordCountText(ADOQuery1.RecordCount()));
}

// A click on a column title: the view sorted by that column, ascending.
void TForm_main::DBGrid1TitleClick(int column)
{
    ADOQuery1.SetSort(ADOQuery1.Fields(column)->FieldName + QStringLiteral("   ASC"));
}

// 清屏: the fields emptied; photo, status bar and records stay.
void TForm_main::BitBtn7Click()
{
    ClearContactForm();
}

// 导出: the grid's records to a spreadsheet file chosen in the save dialog.
void TForm_main::BitBtn8Click()
{
    const std::optional<QString> fileName = desktop().SaveFileName(this, QStringLiteral("电子表格|*.xls"));
    if (!fileName)
        return;
    const QString name = EnsureExtension(*fileName, QStringLiteral(".xls"));
    QString reason;
    if (!ExportToXls(ADOQuery1, name, ContactTextColumns(), &reason))
        InfoBox(QStringLiteral("导出失败:") + reason);  // a failed export no longer passes silently
}

// 粘贴照片: the clipboard's picture into the photo box.
void TForm_main::BitBtn9Click()
{
    PastePhoto(Image1);
}

// A click anywhere on the status bar opens the product's web page.
void TForm_main::StatusBar1Click()
{
    OpenDocument(ProductWebPage, QString());
}
