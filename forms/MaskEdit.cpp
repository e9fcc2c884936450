#include "MaskEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProxyStyle>
#include <limits>

namespace {
// Qt styles draw password characters as bullets; the masked edit shows "*".
class StarPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return u'*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// One style for every masked edit, living as long as the application, so it
// outlasts any window that uses it.
QStyle* starPasswordStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new StarPasswordStyle;
        style->setParent(qApp);
    }
    return style;
}

// The character a key press gives the window, as Windows forms it: Enter is a
// carriage return (13) alone or with Shift, a line feed (10) with Ctrl, and with
// Alt no character at all (a system key); a key that gives no text gives none.
QChar characterOf(const QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (event->modifiers() & Qt::AltModifier)
            return QChar();
        return QChar(event->modifiers() & Qt::ControlModifier ? 10 : 13);
    }
    return event->text().isEmpty() ? QChar() : event->text().front();
}
}  // namespace

TMaskEdit::TMaskEdit(QWidget* parent) : QLineEdit(parent)
{
    setStyle(starPasswordStyle());
    setEchoMode(QLineEdit::Password);
    setMaxLength(std::numeric_limits<int>::max());  // a password of any length
}

void TMaskEdit::keyPressEvent(QKeyEvent* event)
{
    QChar key = characterOf(event);
    if (OnKeyPress && !key.isNull())
        OnKeyPress(key);
    QLineEdit::keyPressEvent(event);
}
