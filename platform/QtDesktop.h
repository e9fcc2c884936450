#pragma once
// The desktop of the real program: QMessageBox, xdg-open, Qt's dialogs and clipboard.

#include "platform/Desktop.h"

#include <functional>

class QtDesktop : public Desktop {
public:
    int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type) override;
    bool ShellOpen(const QString& file, const QString& parameters, const QString& directory) override;
    QWidget* ActiveWindow() override;
    std::optional<QString> OpenPictureFileName(QWidget* owner, const QString& filter) override;
    std::optional<QString> SaveFileName(QWidget* owner, const QString& filter, const QString& suggested = {}) override;
    std::optional<QStringList> OpenFileNames(QWidget* owner, const QString& filter) override;
    const QMimeData* Clipboard() override;

    // The open-picture dialog is built by the photo module (it owns the preview);
    // the program installs it here at start.
    using PictureDialog = std::function<std::optional<QString>(QWidget* owner, const QString& filter)>;
    void SetPictureDialog(PictureDialog dialog) { pictureDialog_ = std::move(dialog); }

private:
    PictureDialog pictureDialog_;
};

// Qt's own texts (file dialogs, context menus) in Simplified Chinese, whatever
// the machine's locale; without the translation files they stay English.
void LoadChineseTranslations();
