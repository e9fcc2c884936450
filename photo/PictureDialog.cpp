#include "PictureDialog.h"

#include "photo/PicturePreview.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QListView>

TOpenPictureDialog::TOpenPictureDialog(QWidget* owner, const QString& filter)
    : QFileDialog(owner), choices_(PictureDialogChoices(filter))
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::AnyFile);  // a typed name is handed back as typed, existing or not
    setSizeGripEnabled(true);

    QStringList shown;
    for (const PictureDialogChoice& choice : choices_)
        shown.append(choice.shownText);
    setNameFilters(shown);

    // The dialog's model takes the patterns from the shown text, split at blanks;
    // ours are split at ";", so every change of choice is followed by our own patterns.
    files_ = findChild<QFileSystemModel*>();
    connect(this, &QFileDialog::filterSelected, this, &TOpenPictureDialog::ApplyPatterns);
    if (auto* combo = findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        connect(combo, &QComboBox::currentIndexChanged, this, &TOpenPictureDialog::ApplyPatterns, Qt::QueuedConnection);
    if (!shown.isEmpty())
        selectNameFilter(shown.constFirst());
    ApplyPatterns();

    preview_ = new PicturePreview(this);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(preview_, 0, grid->columnCount(), grid->rowCount(), 1);
    connect(this, &QFileDialog::currentChanged, preview_, &PicturePreview::ShowFile);
    // A file selected without becoming current (selectFile, a typed name) is shown as well.
    if (auto* list = findChild<QListView*>(QStringLiteral("listView")); list && list->selectionModel())
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
            const QStringList files = selectedFiles();
            if (files.size() == 1)
                preview_->ShowFile(files.constFirst());
        });
}

void TOpenPictureDialog::SelectChoice(int index)
{
    if (index < 0 || index >= choices_.size())
        return;
    selectNameFilter(choices_[index].shownText);
    ApplyPatterns();
}

void TOpenPictureDialog::ApplyPatterns()
{
    const int index = int(nameFilters().indexOf(selectedNameFilter()));
    if (!files_ || index < 0 || index >= choices_.size())
        return;
    if (files_->nameFilters() != choices_[index].patterns)
        files_->setNameFilters(choices_[index].patterns);
}

std::optional<QString> RunOpenPictureDialog(QWidget* owner, const QString& filter)
{
    TOpenPictureDialog dialog(owner, filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
