#pragma once
// The open-picture dialog: Qt's own file dialog with a preview pane. It offers
// the choices of a Windows-style filter exactly as written, and matches each by
// its own patterns (Qt would read "*.jpg;*.jpeg" as one pattern).

#include "photo/PictureFormats.h"

#include <QFileDialog>
#include <optional>

class PicturePreview;
class QFileSystemModel;

class TOpenPictureDialog : public QFileDialog {
    Q_OBJECT
public:
    TOpenPictureDialog(QWidget* owner, const QString& filter);

    const QList<PictureDialogChoice>& Choices() const { return choices_; }
    // Selects a choice as the user would.
    void SelectChoice(int index);
    PicturePreview* Preview() const { return preview_; }

private:
    void ApplyPatterns();

    QList<PictureDialogChoice> choices_;
    QFileSystemModel* files_ = nullptr;
    PicturePreview* preview_ = nullptr;
};

// Runs the dialog modally: the chosen name (typed names unchanged), or nothing when cancelled.
std::optional<QString> RunOpenPictureDialog(QWidget* owner, const QString& filter);
