#pragma once
// A desktop for tests: records every box and shell request, answers as scripted.

#include "platform/Desktop.h"

#include <QList>
#include <QMimeData>
#include <QString>
#include <deque>
#include <functional>
#include <memory>

struct RecordedBox {
    QString text;
    QString caption;
    unsigned type = 0;
};

struct RecordedShellOpen {
    QString file;
    QString parameters;
    QString directory;
};

class ScriptedDesktop : public Desktop {
public:
    ScriptedDesktop();            // installs itself as the desktop
    ~ScriptedDesktop() override;  // puts the previous desktop back

    // Answers for the next boxes, in order; a box with no scripted answer gets
    // Mb::IDOK (OK boxes) or Mb::IDNO (yes/no boxes).
    std::deque<int> boxAnswers;
    // Runs while each box is "shown" (after it is recorded), for tests that act inside a box.
    std::function<void(const RecordedBox&)> onBox;
    QList<RecordedBox> boxes;

    bool shellResult = true;
    QList<RecordedShellOpen> shellOpens;

    // Names the dialogs return, in order; an empty queue or std::nullopt means cancel.
    std::deque<std::optional<QString>> pictureNames;
    std::deque<std::optional<QString>> saveNames;
    QList<QString> pictureFilters;
    QList<QString> saveFilters;
    QList<QString> saveSuggested;  // the name each save dialog offered
    std::deque<std::optional<QStringList>> openNames;
    QList<QString> openFilters;

    // What the print dialogs do, in order: each sets the printer up as a person would
    // and answers whether they pressed 打印; an empty queue means cancel.
    std::deque<std::function<bool(QPrinter&)>> printAnswers;
    int printDialogs = 0;

    // The clipboard: contents, or a clipboard that cannot be opened.
    std::unique_ptr<QMimeData> clipboard = std::make_unique<QMimeData>();
    bool clipboardFails = false;

    int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type) override;
    bool ShellOpen(const QString& file, const QString& parameters, const QString& directory) override;
    QWidget* ActiveWindow() override { return nullptr; }
    std::optional<QString> OpenPictureFileName(QWidget* owner, const QString& filter) override;
    std::optional<QString> SaveFileName(QWidget* owner, const QString& filter, const QString& suggested = {}) override;
    std::optional<QStringList> OpenFileNames(QWidget* owner, const QString& filter) override;
    const QMimeData* Clipboard() override;
    bool PrintDialog(QWidget* owner, QPrinter& printer) override;

    QStringList boxTexts() const;

private:
    Desktop* previous_ = nullptr;
};
