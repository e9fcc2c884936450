#include "BitBtn.h"

#include <QKeyEvent>

TBitBtn::TBitBtn(const QString& caption, QWidget* parent) : TBitBtn(QIcon(), caption, parent) {}

TBitBtn::TBitBtn(const QIcon& picture, const QString& caption, QWidget* parent) : QPushButton(picture, caption, parent)
{
    // Qt would make a focused button of a dialog its default, so that Enter
    // anywhere in the window pressed it; here no button is ever the default.
    setAutoDefault(false);
    setDefault(false);
}

bool IsPlainEnter(const QKeyEvent* event)
{
    const bool enterKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    return enterKey && held == Qt::NoModifier;
}

void TBitBtn::keyPressEvent(QKeyEvent* event)
{
    if (IsPlainEnter(event)) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}
