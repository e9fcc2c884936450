#include "ScriptedDesktop.h"

#include "platform/Errors.h"

ScriptedDesktop::ScriptedDesktop()
{
    previous_ = setDesktop(this);
}

ScriptedDesktop::~ScriptedDesktop()
{
    setDesktop(previous_);
}

int ScriptedDesktop::MessageBox(QWidget*, const QString& text, const QString& caption, unsigned type)
{
    RecordedBox box{text, caption, type};
    boxes.append(box);
    if (onBox)
        onBox(box);
    if (!boxAnswers.empty()) {
        int answer = boxAnswers.front();
        boxAnswers.pop_front();
        return answer;
    }
    return (type & 0x0F) == Mb::YESNO ? Mb::IDNO : Mb::IDOK;
}

bool ScriptedDesktop::ShellOpen(const QString& file, const QString& parameters, const QString& directory)
{
    shellOpens.append({file, parameters, directory});
    return shellResult;
}

namespace {
template <typename Names>
std::optional<Names> next(std::deque<std::optional<Names>>& queue)
{
    if (queue.empty())
        return std::nullopt;
    const bool chosen = queue.front().has_value();
    const Names name = queue.front().value_or(Names());
    queue.pop_front();
    if (!chosen)
        return std::nullopt;
    return name;
}
}  // namespace

std::optional<QString> ScriptedDesktop::OpenPictureFileName(QWidget*, const QString& filter)
{
    pictureFilters.append(filter);
    return next(pictureNames);
}

std::optional<QString> ScriptedDesktop::SaveFileName(QWidget*, const QString& filter, const QString& suggested)
{
    saveFilters.append(filter);
    saveSuggested.append(suggested);
    return next(saveNames);
}

std::optional<QStringList> ScriptedDesktop::OpenFileNames(QWidget*, const QString& filter)
{
    openFilters.append(filter);
    return next(openNames);
}

const QMimeData* ScriptedDesktop::Clipboard()
{
    if (clipboardFails)
        throw EClipboardException(QStringLiteral("无法打开剪贴板"));
    return clipboard.get();
}

QStringList ScriptedDesktop::boxTexts() const
{
    QStringList texts;
    for (const auto& b : boxes)
        texts.append(b.text);
    return texts;
}

bool ScriptedDesktop::PrintDialog(QWidget*, QPrinter& printer)
{
    ++printDialogs;
    if (printAnswers.empty())
        return false;
    const std::function<bool(QPrinter&)> answer = std::move(printAnswers.front());
    printAnswers.pop_front();
    return answer && answer(printer);
}
