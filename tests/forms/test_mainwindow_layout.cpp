// The main window as it is defined: controls, captions, hints, bounds, tab order, resizing.

#include "forms/CoolBar.h"
#include "photo/ImageBox.h"
#include "photo/Placeholder.h"
#include "store/ContactSchema.h"
#include "tests/forms/test_mainwindow_harness.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QSignalSpy>
#include <vector>

class MainWindowLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void shouldDefineButtonsAsTheFormDoes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<bool>("visible");
        QTest::newRow("新建") << "BitBtn1"
                              << "新建"
                              << "填写内容后新增一个记录" << QRect(21, 13, 76, 40) << true;
        QTest::newRow("修改") << "BitBtn2"
                              << "修改"
                              << "修改原来记录" << QRect(111, 13, 76, 40) << true;
        QTest::newRow("查询") << "BitBtn3"
                              << "查询"
                              << "按类别或姓名等找人" << QRect(201, 13, 76, 40) << true;
        QTest::newRow("删除") << "BitBtn5"
                              << "删除"
                              << "删除这个记录" << QRect(292, 13, 76, 40) << true;
        QTest::newRow("清屏") << "BitBtn7"
                              << "清屏"
                              << "清除显示的内容" << QRect(382, 13, 76, 41) << true;
        QTest::newRow("导出") << "BitBtn8"
                              << "导出"
                              << "导出为电子表格" << QRect(473, 13, 76, 41) << true;
        QTest::newRow("批量增加") << "BitBtn6"
                                  << "批量增加"
                                  << "" << QRect(556, 12, 97, 41) << false;
        QTest::newRow("文件照片") << "BitBtn4"
                                  << "文件照片"
                                  << "从文件中增加图片" << QRect(574, 9, 82, 42) << true;
        QTest::newRow("粘贴照片") << "BitBtn9"
                                  << "粘贴照片"
                                  << "粘贴图片" << QRect(574, 64, 84, 40) << true;
    }
    void shouldDefineButtonsAsTheFormDoes()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(QRect, bounds);
        QFETCH(bool, visible);
        MainWindowHarness h;
        auto* button = h.w().findChild<QPushButton*>(name);
        QVERIFY(button);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->toolTip(), hint);
        QCOMPARE(button->geometry(), bounds);
        QCOMPARE(button->isVisible(), visible);
        QVERIFY(!button->autoDefault());
        QVERIFY(!button->isDefault());
    }

    void shouldPressAFocusedButtonOnceWithPlainEnter_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name :
             {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5", "BitBtn7", "BitBtn8", "BitBtn9"})
            QTest::newRow(name) << name;
    }
    void shouldPressAFocusedButtonOnceWithPlainEnter()
    {
        QFETCH(QString, name);
        MainWindowHarness h;
        auto* button = h.w().findChild<QPushButton*>(name);
        QSignalSpy pressed(button, &QPushButton::clicked);
        QTest::keyClick(button, Qt::Key_Return);
        QCOMPARE(pressed.size(), 1);
        QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(pressed.size(), 2);
        // With a modifier, or Escape, it is no press.
        QTest::keyClick(button, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(button, Qt::Key_Return, Qt::AltModifier);
        QTest::keyClick(button, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(button, Qt::Key_Escape);
        QCOMPARE(pressed.size(), 2);
    }

    void shouldDoNothingOnEnterOrEscapeInTheFields()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        h.Fill({"朋友", "王", "1990", "138", "777", "北京", "note"});
        QList<QPushButton*> buttons = w.findChildren<QPushButton*>();
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        for (QPushButton* button : buttons)
            spies.push_back(std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
        for (QWidget* field :
             QList<QWidget*>{w.ComboBox1->lineEdit(), w.Edit1, w.Edit2, w.Edit3, w.Edit4, w.Edit5, w.Edit6}) {
            field->setFocus();
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                QTest::keyClick(field, key);
        }
        for (const auto& spy : spies)
            QCOMPARE(spy->size(), 0);
        QCOMPARE(h.FieldTexts(), QStringList({"朋友", "王", "1990", "138", "777", "北京", "note"}));
        QCOMPARE(h.query().RecordCount(), 0);
        QVERIFY(h.desk.boxes.isEmpty());
    }

    void shouldShowWindowWithItsCaptionSizeAndFont()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        QCOMPARE(w.windowTitle(), QStringLiteral("Tessaly"));
        QCOMPARE(w.size(), QSize(688, 446));
        QCOMPARE(w.font().family(), QStringLiteral("宋体"));
        QCOMPARE(w.font().pixelSize(), 16);
        QCOMPARE(w.Edit6->font().pixelSize(), 16);
    }

    void shouldStackBarsPanelGridAndStatusBar()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        QCOMPARE(w.CoolBar1->geometry(), QRect(0, 0, 688, 65));
        QCOMPARE(w.Panel1->parentWidget(), static_cast<QWidget*>(w.CoolBar1));
        QCOMPARE(w.Panel1->geometry(), QRect(9, 1, 671, 63));
        QCOMPARE(w.Panel2->geometry(), QRect(0, 65, 688, 160));
        QCOMPARE(w.DBGrid1->geometry(), QRect(0, 225, 688, 194));
        QCOMPARE(w.StatusBar1->geometry(), QRect(0, 419, 688, 27));
        QCOMPARE(w.Image1->geometry(), QRect(427, 6, 141, 141));
        QCOMPARE(w.Edit6->geometry(), QRect(65, 117, 343, 24));
        QCOMPARE(w.ComboBox1->geometry(), QRect(69, 4, 123, 24));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Label6"))->text(), QStringLiteral("住址"));
    }

    void shouldGrowOnlyTheGridWithTheWindow()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        const QRect edit3 = w.Edit3->geometry();
        w.resize(900, 600);
        QTRY_COMPARE(w.DBGrid1->height(), 194 + 154);
        QCOMPARE(w.CoolBar1->height(), 65);
        QCOMPARE(w.Panel2->height(), 160);
        QCOMPARE(w.StatusBar1->height(), 27);
        QCOMPARE(w.StatusBar1->geometry().bottom(), 599);
        QCOMPARE(w.Panel1->width(), 900 - 17);
        QCOMPARE(w.Edit3->geometry(), edit3);
        QCOMPARE(w.StatusBar1->PanelRect(3).right(), 899);  // the last panel runs to the bar's end
    }

    void shouldTabThroughButtonsThenFieldsThenGrid()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        const QList<QWidget*> expected{w.BitBtn1,   w.BitBtn3, w.BitBtn2, w.BitBtn5, w.BitBtn7, w.BitBtn8,
                                       w.ComboBox1, w.Edit1,   w.Edit2,   w.Edit3,   w.Edit4,   w.Edit5,
                                       w.Edit6,     w.BitBtn4, w.BitBtn9, w.DBGrid1};
        w.activateWindow();
        w.BitBtn1->setFocus();
        QTRY_VERIFY(w.BitBtn1->hasFocus());
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            QVERIFY2(focus == expected[i] || focus->focusProxy() == expected[i] || focus->parentWidget() == expected[i],
                     qPrintable(QStringLiteral("step %1: %2").arg(i).arg(focus->objectName())));
        }
    }

    void shouldOfferTheEightCategoriesInOrder()
    {
        MainWindowHarness h;
        QComboBox* box = h.w().ComboBox1;
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items.append(box->itemText(i));
        QCOMPARE(items, QStringList({"同学", "学生", "朋友", "亲戚", "亲人", "熟人", "客户", "同事"}));
        QVERIFY(box->isEditable());
        QCOMPARE(box->insertPolicy(), QComboBox::NoInsert);
        QVERIFY(box->currentText().isEmpty());
        // Enter does not add a typed category to the list.
        box->setFocus();
        box->setEditText(QStringLiteral("邻居"));
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(box->count(), 8);
    }

    void shouldLetDatesAndNumbersBypassTheInputMethod()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        for (QLineEdit* e : {w.Edit2, w.Edit3, w.Edit4})
            QVERIFY2(!e->testAttribute(Qt::WA_InputMethodEnabled), qPrintable(e->objectName()));
        for (QLineEdit* e : {w.Edit1, w.Edit5, w.Edit6}) {
            QVERIFY2(e->testAttribute(Qt::WA_InputMethodEnabled), qPrintable(e->objectName()));
            // No length limit: a note of 200 characters stays whole.
            e->setText(QString(200, u'字'));
            QCOMPARE(e->text().size(), 200);
        }
    }

    void shouldStartWithPlaceholderEmptyPanelsAndCount()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        auto* jpeg = dynamic_cast<TJPEGImage*>(w.Image1->Picture());
        QVERIFY(jpeg);
        QCOMPARE(jpeg->Data, PlaceholderBytes());
        QCOMPARE(w.PanelText(0), QString());
        QCOMPARE(w.PanelText(1), QStringLiteral("总人数0"));
        QCOMPARE(w.PanelText(2), QString());
        QCOMPARE(w.PanelText(3), TForm_main::PromotionText());
        QCOMPARE(w.StatusBar1->cursor().shape(), Qt::PointingHandCursor);
        for (QLineEdit* e : {w.Edit1, w.Edit2, w.Edit3, w.Edit4, w.Edit5, w.Edit6})
            QVERIFY(e->text().isEmpty());
    }

    void shouldTitleGridColumnsByColumnName()
    {
        MainWindowHarness h;
        QAbstractItemModel* model = h.w().DBGrid1->model();
        QStringList titles;
        for (int i = 0; i < model->columnCount(); ++i)
            titles.append(model->headerData(i, Qt::Horizontal).toString());
        QCOMPARE(titles, ContactTextColumns() + QStringList{PhotoColumn()});
        QCOMPARE(h.w().DBGrid1->verticalHeader()->width(), TDBGrid::IndicatorWidth);
    }

    void shouldOpenWebPageOnAClickAnywhereOnTheStatusBar()
    {
        MainWindowHarness h;
        TStatusBar* bar = h.w().StatusBar1;
        for (int panel = 0; panel < TStatusBar::PanelCount; ++panel)
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->PanelRect(panel).center());
        QTest::mouseClick(bar, Qt::RightButton, {}, bar->PanelRect(0).center());
        QCOMPARE(h.desk.shellOpens.size(), TStatusBar::PanelCount);
        for (const RecordedShellOpen& open : h.desk.shellOpens) {
            QCOMPARE(open.file, ProductWebPage);
            QCOMPARE(open.parameters, QString());
        }
    }

    void shouldShowClosedQueryErrorWhenTheDatabaseCannotBeOpened()
    {
        // A directory in the database's place counts as a missing file; the creation fails quietly.
        TestFolder folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Kalvo.mdb")));
        OverrideExecutablePathForTests(folder.executablePath());
        ScriptedDesktop desk;
        TForm_main w;
        QCOMPARE(desk.boxTexts(), QStringList{QStringLiteral("ADOQuery1: 无法在关闭的数据集上执行该操作.")});
        QCOMPARE(desk.boxes[0].type, Mb::OK | Mb::ICONSTOP);
        QCOMPARE(w.PanelText(1), QString());
        QCOMPARE(w.DBGrid1->model()->rowCount(), 0);
    }
};

QTEST_MAIN(MainWindowLayoutTest)
#include "test_mainwindow_layout.moc"
