// The window's definition: every control with its name, caption, hint, bounds,
// tab order and visibility, laid out as the form was designed (96 dpi).

#include "forms/BitBtn.h"
#include "forms/CoolBar.h"
#include "forms/DBGrid.h"
#include "forms/StatusBar.h"
#include "forms/Unit_main.h"
#include "forms/WindowFont.h"
#include "photo/ImageBox.h"
#include "photo/Placeholder.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace {

QFrame* NewPanel(const QString& name, QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    return panel;
}

QPushButton* NewButton(const QString& name, const QString& caption, const QString& hint, const QRect& bounds,
                       QWidget* parent)
{
    auto* button = new TBitBtn(caption, parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setGeometry(bounds);
    return button;
}

QLabel* NewLabel(const QString& name, const QString& caption, const QRect& bounds, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // the caption starts at the label's top, as designed
    // Labels size themselves to their caption: a font wider than the designer's must not cut it.
    label->setGeometry(QRect(bounds.topLeft(), bounds.size().expandedTo(label->sizeHint())));
    return label;
}

// The text is not limited: the column widths are the database's business.
constexpr int Unlimited = std::numeric_limits<int>::max();

QLineEdit* NewEdit(const QString& name, const QRect& bounds, bool inputMethod, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(bounds);
    edit->setMaxLength(Unlimited);
    // Dates and numbers are typed directly: these fields take no input-method text.
    // The others keep whatever input method the desktop offers.
    if (!inputMethod)
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    return edit;
}

}  // namespace

QString TForm_main::PromotionText()
{
    return QStringLiteral("Tessaly 通讯录 — 点击访问主页");
}

void TForm_main::CreateControls()
{
    setObjectName(QStringLiteral("Form_main"));
    setWindowTitle(QStringLiteral("Tessaly"));
    setFont(WindowFont());
    setAttribute(Qt::WA_AlwaysShowToolTips);
    resize(688, 446);

    // The button row: a cool bar with one band carrying Panel1.
    CoolBar1 = new TCoolBar(this);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    Panel1 = NewPanel(QStringLiteral("Panel1"), CoolBar1);
    CoolBar1->SetBandChild(Panel1);
    CoolBar1->resize(688, TCoolBar::DesignHeight);

    // Its buttons, left to right: name, caption, hint, bounds.
    static constexpr struct {
        QPushButton* TForm_main::*button;
        QStringView name, caption, hint;
        QRect bounds;
    } buttonRow[] = {
        {&TForm_main::BitBtn1, u"BitBtn1", u"新建", u"填写内容后新增一个记录", {21, 13, 76, 40}},
        {&TForm_main::BitBtn2, u"BitBtn2", u"修改", u"修改原来记录", {111, 13, 76, 40}},
        {&TForm_main::BitBtn3, u"BitBtn3", u"查询", u"按类别或姓名等找人", {201, 13, 76, 40}},
        {&TForm_main::BitBtn5, u"BitBtn5", u"删除", u"删除这个记录", {292, 13, 76, 40}},
        {&TForm_main::BitBtn7, u"BitBtn7", u"清屏", u"清除显示的内容", {382, 13, 76, 41}},
        {&TForm_main::BitBtn8, u"BitBtn8", u"导出", u"导出为电子表格", {473, 13, 76, 41}},
        {&TForm_main::BitBtn6, u"BitBtn6", u"批量增加", {}, {556, 12, 97, 41}},
    };
    for (const auto& b : buttonRow)
        this->*b.button = NewButton(b.name.toString(), b.caption.toString(), b.hint.toString(), b.bounds, Panel1);
    BitBtn6->setVisible(false);  // defined, never shown

    // The input panel: the seven fields of one contact, the photo box and its buttons.
    Panel2 = NewPanel(QStringLiteral("Panel2"), this);
    Panel2->setFixedHeight(160);
    Label1 = NewLabel(QStringLiteral("Label1"), QStringLiteral("类别"), {27, 10, 32, 16}, Panel2);
    ComboBox1 = new QComboBox(Panel2);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems({QStringLiteral("同学"), QStringLiteral("学生"), QStringLiteral("朋友"), QStringLiteral("亲戚"),
                         QStringLiteral("亲人"), QStringLiteral("熟人"), QStringLiteral("客户"),
                         QStringLiteral("同事")});
    ComboBox1->setMaxVisibleItems(8);
    ComboBox1->setGeometry(69, 4, 123, 24);
    ComboBox1->lineEdit()->setMaxLength(Unlimited);
    ComboBox1->setEditText(QString());  // the list does not preselect a category

    Label2 = NewLabel(QStringLiteral("Label2"), QStringLiteral("姓名"), {223, 10, 32, 16}, Panel2);
    Edit1 = NewEdit(QStringLiteral("Edit1"), {263, 5, 141, 24}, true, Panel2);
    Label3 = NewLabel(QStringLiteral("Label3"), QStringLiteral("生日"), {24, 50, 32, 16}, Panel2);
    Edit2 = NewEdit(QStringLiteral("Edit2"), {66, 45, 127, 24}, false, Panel2);
    Label4 = NewLabel(QStringLiteral("Label4"), QStringLiteral("电话"), {221, 45, 32, 16}, Panel2);
    Edit3 = NewEdit(QStringLiteral("Edit3"), {265, 43, 145, 24}, false, Panel2);
    Label5 = NewLabel(QStringLiteral("Label5"), QStringLiteral("QQ"), {26, 83, 16, 16}, Panel2);
    Edit4 = NewEdit(QStringLiteral("Edit4"), {65, 79, 130, 24}, false, Panel2);
    Label6 = NewLabel(QStringLiteral("Label6"), QStringLiteral("住址"), {223, 80, 32, 16}, Panel2);
    Edit5 = NewEdit(QStringLiteral("Edit5"), {264, 76, 142, 24}, true, Panel2);
    Label7 = NewLabel(QStringLiteral("Label7"), QStringLiteral("备注"), {28, 121, 32, 16}, Panel2);
    Edit6 = NewEdit(QStringLiteral("Edit6"), {65, 117, 343, 24}, true, Panel2);

    Image1 = new TImage(Panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(427, 6, 141, 141);
    Image1->SetPicture(PlaceholderPicture());  // the built-in picture until a record's photo replaces it
    BitBtn4 = NewButton(QStringLiteral("BitBtn4"), QStringLiteral("文件照片"), QStringLiteral("从文件中增加图片"),
                        {574, 9, 82, 42}, Panel2);
    BitBtn9 = NewButton(QStringLiteral("BitBtn9"), QStringLiteral("粘贴照片"), QStringLiteral("粘贴图片"),
                        {574, 64, 84, 40}, Panel2);

    // The grid takes whatever height is left; it alone grows with the window.
    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->SetDataSource(&DataSource1);

    StatusBar1 = new TStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->SetPanelText(3, PromotionText());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(CoolBar1);
    layout->addWidget(Panel2);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(StatusBar1);

    // Keyboard order: the button row (in its own order), the input panel, the grid.
    const QList<QWidget*> tabOrder{BitBtn1, BitBtn3, BitBtn2, BitBtn5, BitBtn6, BitBtn7, BitBtn8, ComboBox1, Edit1,
                                   Edit2,   Edit3,   Edit4,   Edit5,   Edit6,   BitBtn4, BitBtn9, DBGrid1};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}
