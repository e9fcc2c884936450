#include "TabChain.h"

#include <QAbstractItemView>
#include <QWidget>

void SetTabChain(std::initializer_list<QWidget*> widgets)
{
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (auto* view = qobject_cast<QAbstractItemView*>(widget))
            view->setTabKeyNavigation(false);
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}
