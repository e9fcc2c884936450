#pragma once
// 打印: the book on paper, as 通讯录 (the list) or 名片 (cards): the whole book,
// one 类别 or what a search finds, with a tick for each value. The preview
// shows a page as it prints and follows every choice at once; 保存为 PDF writes
// a file (asking before it replaces one), 打印 goes through the system's print
// dialog. A long job shows its progress with 取消; a cancelled one leaves no file.

#include "book/PrintChoice.h"
#include "book/PrintLayout.h"
#include "book/PrintedContacts.h"
#include "book/tools/ToolsPage.h"

#include <QList>
#include <vector>

class ProgressPanel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;

class PrintPage : public ToolsPage {
    Q_OBJECT
public:
    explicit PrintPage(ToolsSession& session, QWidget* parent = nullptr);

    PrintChoice choice() const;
    // Writes the PDF file, asking before it replaces one; false when nothing was written.
    bool saveAs(const QString& target);
    // Asks for the file, then saveAs.
    bool savePdf();
    // The print dialog, then the job; false when nothing was printed.
    bool printNow();
    // Reads the contacts again and draws the preview at once (the page does it soon after a change).
    void refresh();

    QComboBox* style() const { return style_; }
    QComboBox* category() const { return category_; }
    QLineEdit* find() const { return find_; }
    QCheckBox* column(PrintColumn column) const { return columns_.at(int(column)); }
    QLabel* preview() const { return preview_; }
    QSpinBox* pageNumber() const { return page_; }
    QLabel* pageCount() const { return pages_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* printButton() const { return print_; }
    ProgressPanel* progress() const { return progress_; }
    QLabel* result() const { return result_; }

private:
    void reload();
    void choiceChanged();
    // Reads the book again when the 类别 or the search changed, else only draws the preview anew.
    void followChoice();
    void styleChanged();
    // Only the ticks the style offers can be changed.
    void enableTicks();
    void showPreview();
    // Runs a print with the progress panel and the page's controls held; false when it failed or was cancelled.
    bool runJob(const std::function<QString(const PrintProgress&)>& job);

    QComboBox* style_;
    QComboBox* category_;
    QLineEdit* find_;
    QList<QCheckBox*> columns_;
    QLabel* preview_;
    QSpinBox* page_;
    QLabel* pages_;
    QPushButton* save_;
    QPushButton* print_;
    ProgressPanel* progress_;
    QLabel* result_;
    QTimer* later_;
    std::vector<PrintedContact> contacts_;
    QString readCategory_;  // what contacts_ was read for
    QString readFind_;
    bool working_ = false;
};
