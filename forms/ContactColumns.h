#pragma once
// The contact table's columns as the window uses them, and the status bar texts.

#include <QString>
#include <QStringList>

// The seven text columns of rem, in table order; the input controls
// ComboBox1, Edit1 .. Edit6 hold them in the same order.
const QStringList& ContactTextColumns();
// The photo column.
const QString& PhotoColumn();

// "总人数" followed by the count, digits only.
QString RecordCountText(int count);
// "当前位置" followed by the position, digits only.
QString PositionText(int recNo);
