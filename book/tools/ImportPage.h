#pragma once
// 导入: files chosen or dropped are read and planned against the book at once
// (on a thread of their own, with a progress bar and 取消 when that takes long),
// and shown in the preview; nothing is written before 导入 is pressed, and then
// the ticked rows go in within one transaction.

#include <QStringList>
#include <QWidget>

class PreviewModel;
class PreviewReading;
class ProgressPanel;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTimer;
class ToolsSession;

class ImportPage : public QWidget {
    Q_OBJECT
public:
    explicit ImportPage(ToolsSession& session, QWidget* parent = nullptr);

    // Adds files to the preview (a kind that cannot be imported is named in a box
    // and left out); the preview shows them once read (see isReading).
    void addFiles(const QStringList& files);
    // Files are being read for the preview.
    bool isReading() const { return reading_ != nullptr; }
    // Writes the ticked rows and shows the report; false when nothing was written.
    bool importTicked();
    void clearFiles();
    // Whether the window may close: asked first while an import is written,
    // or rows wait to be imported; yes drops them, and a write is undone as
    // by 取消 and the window closed once it is.
    bool mayClose();
    bool isWriting() const { return writing_; }

    QStringList files() const { return files_; }
    PreviewModel* model() const { return model_; }
    ProgressPanel* progress() const { return progress_; }
    QTableView* table() const { return table_; }
    QPushButton* chooseButton() const { return choose_; }
    QPushButton* importButton() const { return import_; }
    QLabel* filesLabel() const { return filesLabel_; }
    QPlainTextEdit* lastReport() const { return lastReport_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseFiles();
    void plan();
    void watchReading();
    void readingEnded();
    // Drops a running reading.
    void stopReading();
    void closeProgress();
    // A file that could not be read, or a cancel: the preview keeps the files it showed.
    void backToShownFiles();
    void showFileNames();
    void showCounts();
    void setBusy(bool busy);

    ToolsSession& session_;
    QStringList files_;
    QStringList shownFiles_;  // the files the preview shows
    PreviewReading* reading_ = nullptr;
    PreviewModel* model_;
    QTableView* table_;
    QLabel* filesLabel_;
    QStringList fileNotes_;       // what the files shown say of themselves (their encoding …)
    QPlainTextEdit* lastReport_;  // the last import's report, until the next import
    QLabel* counts_;
    QPushButton* choose_;
    QPushButton* clear_;
    QPushButton* tickAll_;
    QPushButton* tickNone_;
    QPushButton* import_;
    ProgressPanel* progress_;
    QTimer* watch_;  // looks at the reading a few times a second
    bool writing_ = false;
    bool closeAfterWrite_ = false;
};
