#pragma once
// Our stand-in for the Windows desktop services the program uses: message
// boxes, shell open, the common file dialogs and the clipboard. The program
// runs on QtDesktop; tests install a scripted double (tests/support).

#include <QString>
#include <QStringList>
#include <optional>

class QMimeData;
class QPrinter;
class QWidget;

// Message box types and answers keep the Windows values the program was written with.
namespace Mb {
constexpr unsigned OK = 0x00;
constexpr unsigned YESNO = 0x04;
constexpr unsigned ICONSTOP = 0x10;
constexpr unsigned ICONQUESTION = 0x20;
constexpr unsigned ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
}  // namespace Mb

class Desktop {
public:
    virtual ~Desktop() = default;

    // Shows a modal box; returns the button pressed (Mb::IDOK, IDYES, IDNO) or 0 when none could be shown.
    virtual int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type) = 0;
    // Starts the default action for a file or address; true when the desktop accepted it.
    virtual bool ShellOpen(const QString& file, const QString& parameters, const QString& directory) = 0;
    // The window the user is working in, owner of anything the shell shows.
    virtual QWidget* ActiveWindow() = 0;

    // Common dialogs: the chosen name, or nothing when cancelled.
    virtual std::optional<QString> OpenPictureFileName(QWidget* owner, const QString& filter) = 0;
    // suggested: the name the dialog offers, in its current folder; none when empty.
    virtual std::optional<QString> SaveFileName(QWidget* owner, const QString& filter,
                                                const QString& suggested = {}) = 0;
    // Existing files to open, one or more; nothing when cancelled.
    virtual std::optional<QStringList> OpenFileNames(QWidget* owner, const QString& filter) = 0;

    // The clipboard's contents; raises EClipboardException "无法打开剪贴板" when it cannot be opened.
    // The data stays owned by the desktop and is valid until the clipboard changes.
    virtual const QMimeData* Clipboard() = 0;

    // The system's print dialog, its choices set on the printer; false when cancelled.
    // Only the companion's tools window prints: a desktop without printing answers false.
    virtual bool PrintDialog(QWidget* owner, QPrinter& printer)
    {
        (void)owner;
        (void)printer;
        return false;
    }
};

// The one desktop of the process. Never null once the program or a test has set one.
Desktop& desktop();
// Installs a desktop and returns the previous one (not owned).
Desktop* setDesktop(Desktop* d);
