#include "forms/MaskEdit.h"
#include "forms/Unit_main.h"
#include "forms/Unit_mm.h"
#include "platform/AppPaths.h"
#include "platform/Desktop.h"
#include "platform/Gbk.h"
#include "store/ADODB.h"
#include "store/Base64.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "tests/support/ContactBook.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ScriptedDesktop.h"
#include "tests/support/TestFolder.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {
const QString WrongPassword = QStringLiteral("密码不对");

// One run of the program's two windows on the test folder's database: the
// hidden main window, then the login window, shown as the start-up shows it.
class LoginRun {
public:
    LoginRun()
    {
        Form_main = new TForm_main;
        SetApplicationWindow(Form_main);
        Form_mm = new TForm_mm;
        finished = std::make_unique<QSignalSpy>(Form_mm, &QDialog::finished);
        Form_mm->open();
    }
    ~LoginRun()
    {
        delete Form_mm;
        Form_mm = nullptr;
        SetApplicationWindow(nullptr);
        delete Form_main;
        Form_main = nullptr;
    }

    bool ended() const { return !finished->isEmpty(); }
    bool loggedIn() const { return ended() && finished->last().at(0).toInt() == QDialog::Accepted; }

    void login(const QString& password)
    {
        Form_mm->MaskEdit1->setText(password);
        QTest::mouseClick(Form_mm->BitBtn1, Qt::LeftButton);
    }
    void changePassword(const QString& old, const QString& first, const QString& second)
    {
        QTest::mouseClick(Form_mm->BitBtn3, Qt::LeftButton);
        Form_mm->MaskEdit1->setText(old);
        Form_mm->MaskEdit2->setText(first);
        Form_mm->MaskEdit3->setText(second);
        QTest::mouseClick(Form_mm->BitBtn2, Qt::LeftButton);
    }

private:
    std::unique_ptr<QSignalSpy> finished;
};

// The rows of mm as stored, read through a connection of our own.
QStringList storedPasswordTexts(const QString& databasePath)
{
    try {
        SecondCopy reader(databasePath);
        return Trimmed(reader.column(QStringLiteral("select mm from ") + ContactSchema::PasswordTable()));
    } catch (const std::exception&) {
        return {QStringLiteral("<unreadable>")};
    }
}

QString base64Of(const QString& password)
{
    return QString::fromLatin1(Base64Encode(toGbk(password)));
}
}  // namespace

class LoginTest : public QObject, private ProgramFolderFixture {
    Q_OBJECT
private slots:
    void init() { openProgramFolder(); }
    void cleanup() { closeProgramFolder(); }

    void shouldLayOutTheWindowAsDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<QString>("text");
        QTest::newRow("Label1") << "Label1" << QRect(24, 25, 32, 16) << "密码";
        QTest::newRow("MaskEdit1") << "MaskEdit1" << QRect(84, 20, 215, 24) << "";
        QTest::newRow("BitBtn1") << "BitBtn1" << QRect(70, 65, 94, 47) << "登录";
        QTest::newRow("BitBtn3") << "BitBtn3" << QRect(200, 65, 94, 47) << "改密";
        QTest::newRow("Label2") << "Label2" << QRect(24, 148, 48, 16) << "新密码";
        QTest::newRow("MaskEdit2") << "MaskEdit2" << QRect(84, 145, 215, 24) << "";
        QTest::newRow("Label3") << "Label3" << QRect(24, 190, 48, 16) << "再确认";
        QTest::newRow("MaskEdit3") << "MaskEdit3" << QRect(84, 185, 215, 24) << "";
        QTest::newRow("BitBtn2") << "BitBtn2" << QRect(140, 225, 89, 40) << "保存";
    }
    void shouldLayOutTheWindowAsDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QRect, bounds);
        QFETCH(QString, text);
        LoginRun run;
        auto* control = Form_mm->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), bounds);
        QVERIFY(control->isEnabled());
        QVERIFY(control->isVisibleTo(Form_mm));  // below the visible area, not hidden
        QCOMPARE(control->font().family(), QStringLiteral("宋体"));
        QCOMPARE(control->font().pixelSize(), 16);
        if (auto* label = qobject_cast<QLabel*>(control))
            QCOMPARE(label->text(), text);
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            QCOMPARE(button->text(), text);
            QVERIFY(!button->autoDefault());
            QVERIFY(!button->isDefault());
            QCOMPARE(button->iconSize(), QSize(32, 32));
            QCOMPARE(button->icon().pixmap(32, 32).size(), QSize(32, 32));
        }
        if (auto* edit = qobject_cast<TMaskEdit*>(control)) {
            QCOMPARE(edit->echoMode(), QLineEdit::Password);
            QVERIFY(edit->inputMask().isEmpty());
            edit->setText(QStringLiteral("a中1"));
            QCOMPARE(edit->displayText(), QStringLiteral("***"));
        }
    }

    void shouldShowOnlyTheLoginRowUntilChangeIsPressed()
    {
        LoginRun run;
        QCOMPARE(Form_mm->windowTitle(), QStringLiteral("登录"));
        QCOMPARE(Form_mm->pos(), QPoint(417, 226));
        QCOMPARE(Form_mm->minimumSize(), Form_mm->maximumSize());
        QVERIFY(!(Form_mm->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(Form_mm->size(), QSize(346, 128));
        QTest::mouseClick(Form_mm->BitBtn3, Qt::LeftButton);
        QCOMPARE(Form_mm->size(), QSize(346, 281));
        QTest::mouseClick(Form_mm->BitBtn3, Qt::LeftButton);
        QCOMPARE(Form_mm->size(), QSize(346, 281));
        QVERIFY(desk->boxes.isEmpty());
        QVERIFY(!run.ended());
    }

    void shouldTabThroughFieldsInDesignedOrder()
    {
        LoginRun run;
        QList<QWidget*> order;
        QWidget* w = Form_mm->MaskEdit1;
        do {
            if (w->focusPolicy() & Qt::TabFocus)
                order.append(w);
            w = w->nextInFocusChain();
        } while (w != Form_mm->MaskEdit1 && order.size() < 20);
        const QList<QWidget*> expected{Form_mm->MaskEdit1, Form_mm->BitBtn1, Form_mm->MaskEdit2,
                                       Form_mm->MaskEdit3, Form_mm->BitBtn2, Form_mm->BitBtn3};
        QCOMPARE(order, expected);
    }

    void shouldLoginOnAnyOfThreeTries_data()
    {
        QTest::addColumn<int>("wrongBefore");
        QTest::newRow("first try") << 0;
        QTest::newRow("second try") << 1;
        QTest::newRow("third try") << 2;
    }
    void shouldLoginOnAnyOfThreeTries()
    {
        QFETCH(int, wrongBefore);
        LoginRun run;
        for (int i = 0; i < wrongBefore; ++i)
            run.login(QStringLiteral("480918"));
        QVERIFY(!run.ended());
        QVERIFY(!Form_main->isVisible());
        run.login(QStringLiteral("480917"));
        QVERIFY(run.loggedIn());
        QVERIFY(Form_main->isVisible());
        QVERIFY(!Form_mm->isVisible());
        QVERIFY(Form_mm->MaskEdit1->text().isEmpty());
        QCOMPARE(desk->boxTexts(), QStringList(wrongBefore, WrongPassword));
        for (const RecordedBox& box : desk->boxes) {
            QCOMPARE(box.caption, QStringLiteral("提示"));
            QCOMPARE(box.type, Mb::OK | Mb::ICONINFORMATION);
        }
    }

    void shouldEndAfterThirdWrongPassword()
    {
        LoginRun run;
        // Exact comparison: blanks and a missing digit make it wrong.
        run.login(QStringLiteral("480917 "));
        run.login(QStringLiteral(" 480917"));
        QVERIFY(!run.ended());
        QCOMPARE(Form_mm->MaskEdit1->text(), QString());
        run.login(QStringLiteral("48091"));
        QVERIFY(run.ended());
        QVERIFY(!run.loggedIn());
        QVERIFY(!Form_main->isVisible());
        QCOMPARE(desk->boxTexts(), QStringList(3, WrongPassword));
    }

    void shouldCountEnterInPasswordFieldAsOnePress_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }
    void shouldCountEnterInPasswordFieldAsOnePress()
    {
        QFETCH(int, key);
        LoginRun run;
        for (int i = 1; i <= 3; ++i) {
            Form_mm->MaskEdit1->setText(QStringLiteral("wrong"));
            QTest::keyClick(Form_mm->MaskEdit1, Qt::Key(key));
            QCOMPARE(desk->boxes.size(), i);
            QCOMPARE(run.ended(), i == 3);
        }
        QVERIFY(!run.loggedIn());
    }

    void shouldCountOnlyPlainEnterInPasswordFieldAsAPress_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("press");
        QTest::newRow("Shift+Return") << int(Qt::Key_Return) << int(Qt::ShiftModifier) << true;
        QTest::newRow("Ctrl+Return") << int(Qt::Key_Return) << int(Qt::ControlModifier) << false;
        QTest::newRow("Ctrl+keypad Enter")
            << int(Qt::Key_Enter) << int(Qt::ControlModifier | Qt::KeypadModifier) << false;
        QTest::newRow("Alt+Return") << int(Qt::Key_Return) << int(Qt::AltModifier) << false;
        QTest::newRow("Ctrl+Alt+Return") << int(Qt::Key_Return) << int(Qt::ControlModifier | Qt::AltModifier) << false;
    }
    void shouldCountOnlyPlainEnterInPasswordFieldAsAPress()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, press);
        LoginRun run;
        Form_mm->MaskEdit1->setText(QStringLiteral("480917"));
        QTest::keyClick(Form_mm->MaskEdit1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(run.loggedIn(), press);
        QVERIFY(desk->boxes.isEmpty());
        if (!press)
            QCOMPARE(Form_mm->MaskEdit1->text(), QStringLiteral("480917"));
    }

    void shouldPressTheFocusedButtonOnceWithEnter_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("height");
        const QStringList wrong{WrongPassword};
        QTest::newRow("登录 Return") << "BitBtn1" << int(Qt::Key_Return) << wrong << 128;
        QTest::newRow("登录 keypad Enter") << "BitBtn1" << int(Qt::Key_Enter) << wrong << 128;
        QTest::newRow("改密 Return") << "BitBtn3" << int(Qt::Key_Return) << QStringList() << 281;
        QTest::newRow("保存 Return") << "BitBtn2" << int(Qt::Key_Return) << QStringList{QStringLiteral("请输入原码")}
                                     << 128;
    }
    void shouldPressTheFocusedButtonOnceWithEnter()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(QStringList, boxes);
        QFETCH(int, height);
        LoginRun run;
        Form_mm->MaskEdit1->setText(QStringLiteral("wrong"));
        auto* pressed = Form_mm->findChild<QPushButton*>(button);
        QTest::keyClick(pressed, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(desk->boxTexts(), boxes);
        QCOMPARE(Form_mm->height(), height);
        QVERIFY(!run.ended());
        // With Ctrl or Alt held it is no press at all.
        QTest::keyClick(pressed, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(pressed, Qt::Key_Return, Qt::AltModifier);
        QCOMPARE(desk->boxTexts(), boxes);
    }

    void shouldLoginByTabbingToTheButtonAndPressingEnter()
    {
        LoginRun run;
        Form_mm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form_mm));
        Form_mm->MaskEdit1->setFocus();
        Form_mm->MaskEdit1->setText(QStringLiteral("480917"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Form_mm->BitBtn1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(run.loggedIn());
        QVERIFY(desk->boxes.isEmpty());
    }

    void shouldTakePasswordsOfAnyLength()
    {
        LoginRun run;
        const QString longText(100000, u'密');
        for (TMaskEdit* edit : {Form_mm->MaskEdit1, Form_mm->MaskEdit2, Form_mm->MaskEdit3}) {
            edit->setText(longText);
            QCOMPARE(edit->text().size(), longText.size());
        }
        run.login(longText);
        QCOMPARE(desk->boxTexts(), QStringList{WrongPassword});
    }

    void shouldLoginWithEnterInPasswordField()
    {
        LoginRun run;
        Form_mm->MaskEdit1->setText(QStringLiteral("480917"));
        QTest::keyClick(Form_mm->MaskEdit1, Qt::Key_Return);
        QVERIFY(run.loggedIn());
        QVERIFY(Form_main->isVisible());
        QVERIFY(desk->boxes.isEmpty());
    }

    void shouldIgnoreEnterElsewhereAndEscape()
    {
        LoginRun run;
        QTest::mouseClick(Form_mm->BitBtn3, Qt::LeftButton);
        Form_mm->MaskEdit1->setText(QStringLiteral("480917"));
        Form_mm->MaskEdit2->setText(QStringLiteral("x"));
        QTest::keyClick(Form_mm->MaskEdit2, Qt::Key_Return);
        QTest::keyClick(Form_mm->MaskEdit3, Qt::Key_Enter);
        QTest::keyClick(Form_mm->MaskEdit1, Qt::Key_Escape);
        QTest::keyClick(Form_mm->MaskEdit2, Qt::Key_Escape);
        QTest::keyClick(Form_mm, Qt::Key_Escape);
        QTest::keyClick(Form_mm, Qt::Key_Return);
        QVERIFY(!run.ended());
        QVERIFY(Form_mm->isVisible());
        QVERIFY(desk->boxes.isEmpty());
        QCOMPARE(Form_mm->MaskEdit1->text(), QStringLiteral("480917"));
        QCOMPARE(Form_mm->MaskEdit2->text(), QStringLiteral("x"));
    }

    void shouldEndWithoutMessageWhenClosed()
    {
        LoginRun run;
        Form_mm->close();
        QVERIFY(run.ended());
        QVERIFY(!run.loggedIn());
        QVERIFY(!Form_main->isVisible());
        QVERIFY(desk->boxes.isEmpty());
    }

    void shouldAskForOldPasswordWithoutCountingAttempts()
    {
        LoginRun run;
        for (int i = 0; i < 4; ++i)
            run.changePassword(QStringLiteral("wrong"), QStringLiteral("new1"), QStringLiteral("new1"));
        QCOMPARE(desk->boxTexts(), QStringList(4, QStringLiteral("请输入原码")));
        QCOMPARE(Form_mm->MaskEdit1->text(), QString());
        QCOMPARE(Form_mm->MaskEdit2->text(), QStringLiteral("new1"));
        QCOMPARE(Form_mm->MaskEdit3->text(), QStringLiteral("new1"));
        run.login(QStringLiteral("wrong"));
        run.login(QStringLiteral("wrong"));
        QVERIFY(!run.ended());
        run.login(QStringLiteral("480917"));
        QVERIFY(run.loggedIn());
    }

    void shouldRefuseDifferingNewPasswords()
    {
        {
            LoginRun run;
            run.changePassword(QStringLiteral("480917"), QStringLiteral("abc"), QStringLiteral("abC"));
            QCOMPARE(desk->boxTexts(), QStringList{QStringLiteral("新密码两次不一致")});
            QCOMPARE(Form_mm->MaskEdit1->text(), QStringLiteral("480917"));
            QCOMPARE(Form_mm->MaskEdit2->text(), QStringLiteral("abc"));
            QCOMPARE(Form_mm->MaskEdit3->text(), QStringLiteral("abC"));
            run.login(QStringLiteral("abc"));
            run.login(QStringLiteral("480917"));
            QVERIFY(run.loggedIn());
        }
        QCOMPARE(storedPasswordTexts(folder->databasePath()), QStringList{QStringLiteral("NDgwOTE3")});
    }

    void shouldStoreChangedPasswordAndKeepWindowOpen()
    {
        const QString newPassword = QStringLiteral("新Pw 1");
        {
            LoginRun run;
            run.changePassword(QStringLiteral("480917"), newPassword, newPassword);
            QCOMPARE(desk->boxTexts(), QStringList{QStringLiteral("密码修改成功,请输入新密码登录")});
            QCOMPARE(Form_mm->MaskEdit1->text(), QString());
            QCOMPARE(Form_mm->MaskEdit2->text(), QString());
            QCOMPARE(Form_mm->MaskEdit3->text(), QString());
            QVERIFY(!run.ended());
            QCOMPARE(Form_mm->size(), QSize(346, 281));
            run.login(QStringLiteral("480917"));
            run.login(QStringLiteral("新pw 1"));  // letter case counts
            QVERIFY(!run.ended());
            run.login(newPassword);
            QVERIFY(run.loggedIn());
        }
        QCOMPARE(storedPasswordTexts(folder->databasePath()), QStringList{base64Of(newPassword)});
    }

    void shouldReadStoredPasswordOnNextRun_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("nearMiss");
        QTest::newRow("blanks kept") << " a b "
                                     << "a b";
        QTest::newRow("empty") << ""
                               << " ";
        QTest::newRow("Chinese") << "登录密码"
                                 << "登录密";
        QTest::newRow("36 bytes") << QString(18, u'码') << QString(17, u'码');
    }
    void shouldReadStoredPasswordOnNextRun()
    {
        QFETCH(QString, password);
        QFETCH(QString, nearMiss);
        {
            LoginRun run;
            run.changePassword(QStringLiteral("480917"), password, password);
            QCOMPARE(desk->boxTexts(), QStringList{QStringLiteral("密码修改成功,请输入新密码登录")});
        }
        desk->boxes.clear();
        LoginRun next;
        QVERIFY(desk->boxes.isEmpty());
        next.login(QStringLiteral("480917"));
        next.login(nearMiss);
        QVERIFY(!next.ended());
        next.login(password);
        QVERIFY(next.loggedIn());
    }

    void shouldRefusePasswordTooLongForItsColumn_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("37 letters") << QString(37, u'x');
        QTest::newRow("19 Chinese characters") << QString(19, u'码');
        QTest::newRow("36 letters and a Chinese character") << QString(36, u'x') + u'码';
    }
    void shouldRefusePasswordTooLongForItsColumn()
    {
        QFETCH(QString, password);
        {
            LoginRun run;
            run.changePassword(QStringLiteral("480917"), password, password);
            QCOMPARE(desk->boxTexts(), QStringList{QStringLiteral("新密码太长,最多36个字节")});
            QCOMPARE(Form_mm->MaskEdit2->text(), password);
            run.login(password);
            run.login(QStringLiteral("480917"));
            QVERIFY(run.loggedIn());
        }
        QCOMPARE(storedPasswordTexts(folder->databasePath()), QStringList{QStringLiteral("NDgwOTE3")});
    }

    void shouldRefuseEveryLoginWhenPasswordCannotBeRead()
    {
        QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("Kalvo.mdb")));
        LoginRun run;
        QCOMPARE(desk->boxes.size(), 2);  // the main window's box, then the login window's own
        desk->boxes.clear();
        run.changePassword(QString(), QStringLiteral("x"), QStringLiteral("x"));
        QCOMPARE(desk->boxTexts(), QStringList{QStringLiteral("请输入原码")});
        run.login(QString());
        run.login(QStringLiteral("480917"));
        QVERIFY(!run.ended());
        run.login(QStringLiteral("x"));
        QVERIFY(run.ended());
        QVERIFY(!run.loggedIn());
        QCOMPARE(desk->boxTexts().mid(1), QStringList(3, WrongPassword));
    }
};

QTEST_MAIN(LoginTest)
#include "test_login.moc"
