#pragma once
// 生日: the birthdays of the coming days (lunar ones included), the 生日 texts
// that could not be read, the birthdays as a calendar file, and the switch
// that reminds of them at desktop login.

#include "book/tools/ToolsPage.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

class BirthdayPage : public ToolsPage {
    Q_OBJECT
public:
    explicit BirthdayPage(ToolsSession& session, QWidget* parent = nullptr);

    // Reads the book again and fills both tables.
    void load();
    // Asks for a file and writes the birthdays' calendar; true when written.
    bool exportCalendar();
    // Writes or removes the autostart entry; the switch shows what is in place.
    void setReminder(bool on);

    QSpinBox* days() const { return days_; }
    QTableWidget* upcoming() const { return upcoming_; }
    QTableWidget* unread() const { return unread_; }
    QPushButton* exportButton() const { return export_; }
    QCheckBox* reminder() const { return reminder_; }

private:
    QSpinBox* days_;
    QTableWidget* upcoming_;
    QLabel* unreadTitle_;
    QTableWidget* unread_;
    QPushButton* export_;
    QCheckBox* reminder_;
};
