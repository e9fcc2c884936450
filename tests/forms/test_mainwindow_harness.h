#pragma once
// The main window on a database of its own, with a scripted desktop, for widget tests.

#include "forms/DBGrid.h"
#include "forms/DBGridModel.h"
#include "forms/StatusBar.h"
#include "forms/Unit_main.h"
#include "platform/AppPaths.h"
#include "store/ADODB.h"
#include "tests/support/ScriptedDesktop.h"
#include "tests/support/TestFolder.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

struct ContactTexts {
    QString category, name, birthday, telephone, qq, address, note;
};

class MainWindowHarness {
public:
    explicit MainWindowHarness(bool show = true)
    {
        OverrideExecutablePathForTests(folder.executablePath());
        Open(show);
    }

    // A new window on the same folder, as a second run of the program would make it.
    void Reopen(bool show = true)
    {
        form.reset();
        Open(show);
    }

    TForm_main& w() { return *form; }
    TADOQuery& query() { return form->ADOQuery1; }

    void Fill(const ContactTexts& t)
    {
        form->ComboBox1->setEditText(t.category);
        form->Edit1->setText(t.name);
        form->Edit2->setText(t.birthday);
        form->Edit3->setText(t.telephone);
        form->Edit4->setText(t.qq);
        form->Edit5->setText(t.address);
        form->Edit6->setText(t.note);
    }

    QStringList FieldTexts() const
    {
        return {form->ComboBox1->currentText(),
                form->Edit1->text(),
                form->Edit2->text(),
                form->Edit3->text(),
                form->Edit4->text(),
                form->Edit5->text(),
                form->Edit6->text()};
    }

    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Adds a contact through the fields and 新建.
    void Add(const ContactTexts& t)
    {
        Fill(t);
        Click(form->BitBtn1);
    }

    // Press and release the left button over a data cell of a view row.
    void ClickRow(int row, int column = 1, Qt::MouseButton button = Qt::LeftButton)
    {
        TDBGrid* grid = form->DBGrid1;
        const QModelIndex index = grid->model()->index(row, column);
        grid->scrollTo(index);
        QTest::mouseClick(grid->viewport(), button, {}, grid->visualRect(index).center());
    }

    void ClickTitle(int column)
    {
        QHeaderView* header = form->DBGrid1->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    QString Cell(int row, int column) const { return form->DBGrid1->model()->index(row, column).data().toString(); }

    // The names of the view, in its order, trimmed of the column's padding.
    QStringList Names()
    {
        QStringList names;
        for (int row = 0; row < form->DBGrid1->model()->rowCount(); ++row)
            names.append(Cell(row, 1).trimmed());
        return names;
    }

    // The current record's photo bytes; empty for none.
    QByteArray CurrentPhoto() { return query().FieldByName(QStringLiteral("jpg"))->AsBytes(); }
    bool CurrentPhotoIsNull() { return query().FieldByName(QStringLiteral("jpg"))->IsNull(); }

    TestFolder folder;
    ScriptedDesktop desk;
    std::unique_ptr<TForm_main> form;

private:
    void Open(bool show)
    {
        form = std::make_unique<TForm_main>();
        Form_main = form.get();
        if (show) {
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        }
    }
};
