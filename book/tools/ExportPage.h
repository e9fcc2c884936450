#pragma once
// 导出: every contact of the book to a file in one of the export formats.

#include <QWidget>

class ProgressPanel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ToolsSession;

class ExportPage : public QWidget {
    Q_OBJECT
public:
    explicit ExportPage(ToolsSession& session, QWidget* parent = nullptr);

    // Writes the file named in the field, asking before it replaces one; false when nothing was written.
    bool exportNow();

    QComboBox* format() const { return format_; }
    QLineEdit* file() const { return file_; }
    QPushButton* exportButton() const { return export_; }
    QLabel* result() const { return result_; }
    ProgressPanel* progress() const { return progress_; }

private:
    void browse();
    void formatChosen();

    ToolsSession& session_;
    QComboBox* format_;
    QLineEdit* file_;
    QPushButton* browse_;
    QPushButton* export_;
    QLabel* result_;
    ProgressPanel* progress_;
};
