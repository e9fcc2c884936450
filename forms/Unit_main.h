#pragma once
// The contact book window: button row, input panel, photo box, grid and status bar.
// It owns the database connection and the contact query for the whole run.

#include "store/ADODB.h"
#include "store/KeptCount.h"

#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TCoolBar;
class TDBGrid;
class TImage;
class TStatusBar;

class TForm_main : public QWidget {
    Q_OBJECT
public:
    explicit TForm_main(QWidget* parent = nullptr);
    ~TForm_main() override;

    // Controls, in the order the window declares them. Buttons are plain push buttons.
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QFrame* Panel1 = nullptr;
    TCoolBar* CoolBar1 = nullptr;

    // Non-visual components.
    TADOConnection ADOConnection1{QStringLiteral("ADOConnection1")};
    TADOQuery ADOQuery1{QStringLiteral("ADOQuery1")};

    QFrame* Panel2 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* Edit6 = nullptr;
    TImage* Image1 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    TDataSource DataSource1{&ADOQuery1};
    QPushButton* BitBtn5 = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    QPushButton* BitBtn6 = nullptr;
    QPushButton* BitBtn7 = nullptr;
    QPushButton* BitBtn8 = nullptr;
    QPushButton* BitBtn9 = nullptr;

    // Handlers, one per event. They raise; the event bindings run each inside
    // the handler guard, which shows the standard error box.
    void FormCreate();    // the database bootstrap; run once by the constructor
    void BitBtn1Click();  // 新建
    void BitBtn2Click();  // 修改
    void DBGrid1CellClick(int column);
    void BitBtn4Click();  // 文件照片
    void BitBtn3Click();  // 查询
    void BitBtn5Click();  // 删除
    void BitBtn6Click();  // 批量增加
    void DBGrid1TitleClick(int column);
    void BitBtn7Click();  // 清屏
    void BitBtn8Click();  // 导出
    void BitBtn9Click();  // 粘贴照片
    void StatusBar1Click();

    // While the login window waits for the password: the records the grid
    // shows after the login are read ahead beside it, unless they were read.
    void ReadAheadBeforeLogin();

    // The text of a status bar panel (0 to 3).
    QString PanelText(int panel) const;
    void SetPanelText(int panel, const QString& text);

    // The promotional text of the last status panel.
    static QString PromotionText();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();  // the window's definition: controls, bounds, captions, tab order
    void BindEvents();
    // The seven field texts in column order: ComboBox1, Edit1 .. Edit6.
    QStringList ContactFormTexts() const;
    void ClearContactForm();
    // Puts the fields' texts (by position when adding, by name when changing)
    // and the photo box's picture into the record being added or changed, and
    // stores it as one write: when the disk is full, or the picture cannot be
    // compressed, nothing of it is stored and the edit is cancelled.
    void PostContactForm(bool byPosition);
    // Reads the records the first paint did not need.
    void FetchRemainingRecords();

    // More rows than any screen shows at once.
    static constexpr int FirstRowsRead = 200;
    static constexpr int FetchRemainingAfterMs = 300;
    bool shownOnce_ = false;
    // From the opening until every contact was read once after the login.
    std::optional<ContactCountCheck> countCheck_;
};

// The one instance, reachable from everywhere; set by the start-up.
extern TForm_main* Form_main;
