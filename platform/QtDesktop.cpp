#include "QtDesktop.h"

#include "platform/Errors.h"
#include "platform/FileFilter.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTranslator>

int QtDesktop::MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type)
{
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    // The text is shown as it stands: a file name such as "<b>x</b>.jpg" is no markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    if (type & Mb::ICONINFORMATION)
        box.setIcon(QMessageBox::Information);
    else if (type & Mb::ICONQUESTION)
        box.setIcon(QMessageBox::Question);
    else if (type & Mb::ICONSTOP)
        box.setIcon(QMessageBox::Critical);

    if ((type & 0x0F) == Mb::YESNO) {
        // Yes is the first button and the default; Escape and the close box are not No
        // on Windows either (the box has no cancel button), but closing must end it somehow.
        QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        if (box.clickedButton() == yes)
            return Mb::IDYES;
        return Mb::IDNO;
    }
    QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return Mb::IDOK;
}

bool QtDesktop::ShellOpen(const QString& file, const QString& parameters, const QString& directory)
{
    QStringList args{file};
    if (!parameters.isEmpty())
        args += QProcess::splitCommand(parameters);
    // A working directory is only handed over when it names an existing folder,
    // so "https:" in front of an address does not stop the address from opening.
    QString workDir = (!directory.isEmpty() && QDir(directory).exists()) ? directory : QString();
    return QProcess::startDetached(QStringLiteral("xdg-open"), args, workDir);
}

QWidget* QtDesktop::ActiveWindow()
{
    return QApplication::activeWindow();
}

namespace {
// Runs Qt's own (non-native) dialog offering the filter's entries; a typed name
// comes back unchanged, whether the file exists or not (unless the mode asks for existing files).
std::optional<QStringList> runFileDialog(QFileDialog& dialog, const QString& filter,
                                         QFileDialog::FileMode mode = QFileDialog::AnyFile)
{
    QStringList nameFilters;
    for (const FileFilterEntry& entry : ParseWindowsFilter(filter))
        nameFilters.append(QtNameFilter(entry));
    dialog.setNameFilters(nameFilters);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(mode);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles();
}

std::optional<QString> firstOf(const std::optional<QStringList>& names)
{
    if (!names)
        return std::nullopt;
    return names->constFirst();
}
}  // namespace

std::optional<QString> QtDesktop::OpenPictureFileName(QWidget* owner, const QString& filter)
{
    if (pictureDialog_)
        return pictureDialog_(owner, filter);
    QFileDialog dialog(owner);
    return firstOf(runFileDialog(dialog, filter));
}

std::optional<QString> QtDesktop::SaveFileName(QWidget* owner, const QString& filter, const QString& suggested)
{
    QFileDialog dialog(owner);
    if (!suggested.isEmpty())
        dialog.selectFile(suggested);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // The Windows dialog shows only the descriptions; Qt shows its filter text, so
    // the patterns are hidden and the dialog reads "电子表格" as it should.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    return firstOf(runFileDialog(dialog, filter));
}

std::optional<QStringList> QtDesktop::OpenFileNames(QWidget* owner, const QString& filter)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return runFileDialog(dialog, filter, QFileDialog::ExistingFiles);
}

const QMimeData* QtDesktop::Clipboard()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
    if (!clipboard)
        throw EClipboardException(QStringLiteral("无法打开剪贴板"));
    return data;
}

void LoadChineseTranslations()
{
    static QTranslator translator;
    if (translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}
