#include "Startup.h"

#include "forms/Unit_main.h"
#include "forms/Unit_mm.h"
#include "platform/AppPaths.h"
#include "store/BookHeadStart.h"
#include "store/ContactSchema.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QFontDatabase>

namespace {
const QString Songti = QStringLiteral("宋体");

// Installed Chinese fonts, in order of preference.
const QStringList ChineseFamilies = {
    QStringLiteral("WenQuanYi Zen Hei"),  QStringLiteral("Noto Sans CJK SC"),    QStringLiteral("Noto Serif CJK SC"),
    QStringLiteral("Source Han Sans SC"), QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("AR PL UMing CN"),
};
}  // namespace

std::unique_ptr<BookHeadStart> StartOpeningBook()
{
    return std::make_unique<BookHeadStart>(DatabasePathFor(ExecutablePath()), ContactSchema::DatabasePassword(),
                                           ContactSchema::ContactTable());
}

QString MapSongtiFont()
{
    const QStringList installed = QFontDatabase::families();
    if (installed.contains(Songti) || installed.contains(QStringLiteral("SimSun")))
        return installed.contains(Songti) ? Songti : QStringLiteral("SimSun");
    const QStringList mapped = QFont::substitutes(Songti);
    for (const QString& family : mapped) {
        if (installed.contains(family))
            return family;
    }
    for (const QString& family : ChineseFamilies) {
        if (installed.contains(family)) {
            QFont::insertSubstitution(Songti, family);
            return family;
        }
    }
    return QString();
}

ApplicationWindows::ApplicationWindows()
{
    // The main window opens the database in its creation handler and stays hidden.
    Form_main = new TForm_main;
    SetApplicationWindow(Form_main);
    Form_mm = new TForm_mm;
}

ApplicationWindows::~ApplicationWindows()
{
    // The login query runs on the main window's connection: it goes first.
    delete Form_mm;
    Form_mm = nullptr;
    SetApplicationWindow(nullptr);
    delete Form_main;
    Form_main = nullptr;
}

bool ApplicationWindows::ShowLogin()
{
    // The count shown came without reading the records: they are read while the person types.
    Form_main->ReadAheadBeforeLogin();
    return Form_mm->exec() == QDialog::Accepted;
}

int RunTessaly()
{
    MapSongtiFont();
    ApplicationWindows windows;
    if (!windows.ShowLogin())
        return 0;
    // Closing the main window, the last one visible, ends the loop.
    QApplication::setQuitOnLastWindowClosed(true);
    return QApplication::exec();
}
