#pragma once
// 查找: the contacts found as one types (text inside any column, or the pinyin
// of the name, as the find command finds them); the selected one shown whole,
// with its photo and as a QR code for a phone.

#include "book/tools/ToolsPage.h"

#include <array>

class FoundModel;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableView;

class FindPage : public ToolsPage {
    Q_OBJECT
public:
    explicit FindPage(ToolsSession& session, QWidget* parent = nullptr);

    // Reads the book when it is first needed, and again after it changed.
    void load();

    QLineEdit* field() const { return field_; }
    QTableView* table() const { return table_; }
    FoundModel* model() const { return model_; }
    QLabel* photo() const { return photo_; }
    // The selected contact as a QR code a phone's camera adds (as `qr` writes it).
    QLabel* qrCode() const { return qr_; }
    QLabel* count() const { return count_; }
    // The selected record's texts as shown, in column order.
    QStringList shownTexts() const;
    QString keptText() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void typed();
    void showSelected();

    QLineEdit* field_;
    QLabel* count_;
    QTableView* table_;
    FoundModel* model_;
    QLabel* photo_;
    QLabel* qr_;
    std::array<QLineEdit*, 6> texts_{};  // 类别 … 地址
    QPlainTextEdit* note_;
    QPlainTextEdit* kept_;  // 其他资料: what an import kept beside the record, "label:value" a line
};
