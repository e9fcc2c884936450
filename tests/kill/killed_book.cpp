// The contact book's real start-up and windows on a folder of the test's, with
// the scripted desktop, doing one thing over and over until it is killed:
//   killed_book FOLDER add PREFIX          新建 one contact after another (PREFIX1, PREFIX2 ..)
//   killed_book FOLDER export              导出 the whole book again and again
//   killed_book FOLDER password OLD A B    保存 a new password, alternately A and B
//   killed_book FOLDER login PASSWORD      exit 0 when PASSWORD logs in, 3 when not
// After each handler has returned it prints one line and flushes it, so the
// test knows exactly which commands finished before the kill. The program
// itself never runs this: it is a test executable linking the application.

#include "app/Startup.h"
#include "forms/MaskEdit.h"
#include "forms/Unit_main.h"
#include "forms/Unit_mm.h"
#include "platform/AppPaths.h"
#include "store/BookHeadStart.h"
#include "tests/support/ScriptedDesktop.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>

namespace {

// The repetitions stop here should the test forget to kill.
constexpr int MaxRounds = 100000;

void say(const QString& line)
{
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

// Any box that is not the expected one is an error of the command.
bool failed(ScriptedDesktop& desktop, const QString& expected = QString())
{
    for (const RecordedBox& box : desktop.boxes) {
        if (box.text != expected) {
            say(QStringLiteral("error: ") + box.text);
            return true;
        }
    }
    desktop.boxes.clear();
    return false;
}

bool logIn(const QString& password)
{
    Form_mm->MaskEdit1->setText(password);
    Form_mm->BitBtn1->click();
    return Form_main->isVisible();
}

int addContacts(ScriptedDesktop& desktop, const QString& prefix)
{
    for (int i = 1; i <= MaxRounds; ++i) {
        const QString name = prefix + QString::number(i);
        Form_main->ComboBox1->setEditText(QStringLiteral("朋友"));
        Form_main->Edit1->setText(name);
        Form_main->Edit3->setText(QStringLiteral("138%1").arg(i, 8, 10, QLatin1Char('0')));
        Form_main->Edit6->setText(QStringLiteral("第%1个").arg(i));
        Form_main->BitBtn1->click();
        if (failed(desktop))
            return 2;
        say(QStringLiteral("added ") + name);
    }
    return 0;
}

int exportBook(ScriptedDesktop& desktop, const QString& folder)
{
    for (int i = 1; i <= MaxRounds; ++i) {
        desktop.saveNames.push_back(QDir(folder).filePath(QStringLiteral("export.xls")));
        Form_main->BitBtn8->click();
        if (failed(desktop))
            return 2;
        say(QStringLiteral("exported %1").arg(i));
    }
    return 0;
}

int changePassword(ScriptedDesktop& desktop, QString current, const QString& a, const QString& b)
{
    const QString changed = QStringLiteral("密码修改成功,请输入新密码登录");
    for (int i = 1; i <= MaxRounds; ++i) {
        const QString next = current == a ? b : a;
        Form_mm->MaskEdit1->setText(current);
        Form_mm->MaskEdit2->setText(next);
        Form_mm->MaskEdit3->setText(next);
        Form_mm->BitBtn2->click();
        if (failed(desktop, changed))
            return 2;
        current = next;
        say(QStringLiteral("password ") + current);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 64;
    // In the program's order: the book's head start first, then the application object.
    OverrideExecutablePathForTests(QDir(QFile::decodeName(argv[1])).filePath(QStringLiteral("tessaly")));
    const std::unique_ptr<BookHeadStart> headStart = StartOpeningBook();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString folder = args.at(1);
    const QString mode = args.at(2);
    ScriptedDesktop desktop;
    MapSongtiFont();
    ApplicationWindows windows;
    if (failed(desktop))
        return 2;
    say(QStringLiteral("started"));

    if (mode == QLatin1String("login") && args.size() == 4)
        return logIn(args.at(3)) ? 0 : 3;
    if (mode == QLatin1String("password") && args.size() == 6)
        return changePassword(desktop, args.at(3), args.at(4), args.at(5));
    if (!logIn(QStringLiteral("480917"))) {
        say(QStringLiteral("error: the factory password did not log in"));
        return 2;
    }
    if (mode == QLatin1String("add") && args.size() == 4)
        return addContacts(desktop, args.at(3));
    if (mode == QLatin1String("export"))
        return exportBook(desktop, folder);
    return 64;
}
