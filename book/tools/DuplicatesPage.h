#pragma once
// 重复: the groups of records that are probably one person; the selected
// group side by side, a column per record and a row per value, differences
// marked. For each row the person ticks the value that stays (the others go
// into 备注 as the merge command puts them), ticks the photo, or splits a
// record off; 合并本组 merges that group alone, after a backup it names.

#include "book/tools/GroupChoice.h"

#include <QWidget>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class ToolsSession;

class DuplicatesPage : public QWidget {
    Q_OBJECT
public:
    explicit DuplicatesPage(ToolsSession& session, QWidget* parent = nullptr);

    // Finds the groups again (and remembers them as listed, as the duplicates command does).
    void load();
    // Takes the record of the table's current column out of its group; false when none is current.
    bool splitCurrent();
    // Merges the selected group as ticked, after asking; false when nothing changed.
    bool mergeSelected();

    QListWidget* groups() const { return list_; }
    QTableWidget* table() const { return table_; }
    QPushButton* mergeButton() const { return merge_; }
    QPushButton* splitButton() const { return split_; }
    // "已合并 …；合并前的通讯录已备份到 …" after a merge.
    QLabel* result() const { return result_; }
    // The selected group as ticked so far; nullptr when none is selected.
    const GroupChoice* current() const;
    // The column of the table that shows what 合并本组 would write.
    int mergedColumn() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillList();
    void showGroup();
    void fillTable();
    void showChoices();
    void cellChanged(QTableWidgetItem* item);

    ToolsSession& session_;
    bool stale_ = true;
    bool filling_ = false;
    bool merging_ = false;
    int noteWidth_ = 0;
    QList<GroupChoice> found_;
    QListWidget* list_;
    QLabel* count_;
    QLabel* reasons_;
    QTableWidget* table_;
    QPushButton* refresh_;
    QPushButton* split_;
    QPushButton* merge_;
    QLabel* result_;
};
