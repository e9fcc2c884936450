#include "Unit_mm.h"

#include "forms/BitBtn.h"
#include "forms/LoginButtonPictures.h"
#include "forms/MaskEdit.h"
#include "forms/Unit_main.h"
#include "platform/Gbk.h"
#include "platform/HandlerGuard.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "store/ExclusiveWrite.h"
#include "store/LoginPassword.h"
#include "ui/MessageBoxes.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

TForm_mm* Form_mm = nullptr;

namespace {
constexpr int ClientWidth = 346;
constexpr int DesignedClientHeight = 314;

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect bounds)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(bounds);
    return label;
}

TMaskEdit* makeMaskEdit(QWidget* parent, const char* name, QRect bounds)
{
    auto* edit = new TMaskEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(bounds);
    return edit;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QIcon& picture, QRect bounds)
{
    auto* button = new TBitBtn(picture, text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(bounds);
    button->setIconSize(QSize(32, 32));
    return button;
}
}  // namespace

TForm_mm::TForm_mm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    buildControls();
    Guarded([this] { FormCreate(); });
}

TForm_mm::~TForm_mm()
{
    if (Form_mm == this)
        Form_mm = nullptr;
}

void TForm_mm::buildControls()
{
    setObjectName(QStringLiteral("Form_mm"));
    setWindowTitle(QStringLiteral("登录"));
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(16);
    setFont(font);
    setSizeGripEnabled(false);
    setFixedSize(ClientWidth, DesignedClientHeight);
    move(417, 226);

    Label1 = makeLabel(this, "Label1", QStringLiteral("密码"), {24, 25, 32, 16});
    MaskEdit1 = makeMaskEdit(this, "MaskEdit1", {84, 20, 215, 24});
    BitBtn1 = makeButton(this, "BitBtn1", QStringLiteral("登录"), LoginPicture(), {70, 65, 94, 47});
    Label2 = makeLabel(this, "Label2", QStringLiteral("新密码"), {24, 148, 48, 16});
    MaskEdit2 = makeMaskEdit(this, "MaskEdit2", {84, 145, 215, 24});
    Label3 = makeLabel(this, "Label3", QStringLiteral("再确认"), {24, 190, 48, 16});
    MaskEdit3 = makeMaskEdit(this, "MaskEdit3", {84, 185, 215, 24});
    BitBtn2 = makeButton(this, "BitBtn2", QStringLiteral("保存"), SavePicture(), {140, 225, 89, 40});
    BitBtn3 = makeButton(this, "BitBtn3", QStringLiteral("改密"), ChangePasswordPicture(), {200, 65, 94, 47});

    setTabOrder(MaskEdit1, BitBtn1);
    setTabOrder(BitBtn1, MaskEdit2);
    setTabOrder(MaskEdit2, MaskEdit3);
    setTabOrder(MaskEdit3, BitBtn2);
    setTabOrder(BitBtn2, BitBtn3);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guarded([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { Guarded([this] { BitBtn2Click(); }); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { Guarded([this] { BitBtn3Click(); }); });
    MaskEdit1->OnKeyPress = [this](QChar& key) { Guarded([&] { MaskEdit1KeyPress(key); }); };
}

void TForm_mm::SetOuterHeight(int outerHeight)
{
    setFixedSize(ClientWidth, outerHeight - DesignFrameHeight);
}

void TForm_mm::FormCreate()
{
    SetOuterHeight(BitBtn1->y() + BitBtn1->height() + 50);
    LoginSucceeded = false;
    LoginAttempts = 0;
    ADOQuery_mm.Connection = Form_main ? &Form_main->ADOConnection1 : nullptr;

    // A second copy starting on the same new book waits here and then reads the
    // row this one stores: one table, one row, one password for both.
    ExclusiveWrite setUp(ADOQuery_mm.Connection);
    bool opened = true;
    try {
        ADOQuery_mm.SQL.clear();
        ADOQuery_mm.SQL.append(QStringLiteral("select * from ") + ContactSchema::PasswordTable());
        ADOQuery_mm.Open();
    } catch (...) {
        opened = false;  // on the first run the table is not there yet
    }
    if (!opened) {
        ADOQuery_mm.SQL.clear();
        ADOQuery_mm.SQL.append(ContactSchema::CreatePasswordTable());
        ADOQuery_mm.ExecSQL();
        OpenTable(ADOQuery_mm, ContactSchema::PasswordTable());
    }

    if (ADOQuery_mm.RecordCount() != 0) {
        CurrentPassword = PasswordFromStoredText(ADOQuery_mm.FieldByName(QStringLiteral("mm"))->AsString());
    } else {
        CurrentPassword = FactoryPassword;
        ADOQuery_mm.AppendRecord({StoredPasswordText(*CurrentPassword)});
    }
    setUp.Commit();
}

void TForm_mm::BitBtn3Click()
{
    SetOuterHeight(BitBtn2->y() + BitBtn2->height() + 50);
}

void TForm_mm::BitBtn1Click()
{
    ++LoginAttempts;
    if (PasswordMatches(MaskEdit1->text(), CurrentPassword)) {
        Form_main->show();
        LoginSucceeded = true;
        MaskEdit1->clear();
        close();
    } else {
        MaskEdit1->clear();
        InfoBox(QStringLiteral("密码不对"));
    }
    if (LoginAttempts > 2)
        close();
}

void TForm_mm::FormClose()
{
    // Without a successful login the modal run ends rejected and the start-up
    // ends the program from there, after the usual finalisation.
    done(LoginSucceeded ? Accepted : Rejected);
}

void TForm_mm::BitBtn2Click()
{
    if (!PasswordMatches(MaskEdit1->text(), CurrentPassword)) {
        MaskEdit1->clear();
        InfoBox(QStringLiteral("请输入原码"));
        return;
    }
    const QByteArray newPassword = toGbk(MaskEdit2->text());
    if (newPassword != toGbk(MaskEdit3->text())) {
        InfoBox(QStringLiteral("新密码两次不一致"));
        return;
    }
    // A longer password would not fit mm once encoded; refuse it before anything changes.
    if (!FitsPasswordColumn(newPassword)) {
        InfoBox(QStringLiteral("新密码太长,最多36个字节"));
        return;
    }
    CurrentPassword = newPassword;
    ADOQuery_mm.Edit();
    ADOQuery_mm.FieldByName(QStringLiteral("mm"))->SetAsString(StoredPasswordText(*CurrentPassword));
    ADOQuery_mm.Post();
    InfoBox(QStringLiteral("密码修改成功,请输入新密码登录"));
    MaskEdit1->clear();
    MaskEdit2->clear();
    MaskEdit3->clear();
}

void TForm_mm::MaskEdit1KeyPress(QChar& key)
{
    if (key == QChar(13))
        BitBtn1->click();
}

void TForm_mm::closeEvent(QCloseEvent* event)
{
    Guarded([this] { FormClose(); });
    event->accept();
}

void TForm_mm::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter: event->accept(); return;
    default: QDialog::keyPressEvent(event);
    }
}
