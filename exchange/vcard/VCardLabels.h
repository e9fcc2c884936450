#pragma once
// The labels a phone number gets from its vCard types and gives them back:
// TYPE=CELL is "手机", TYPE=WORK,FAX is "工作传真", ... the same words the
// spreadsheets' headers use, so a number keeps its kind through every format.

#include <QByteArray>
#include <QString>

struct VCardProperty;

// The label of a TEL property by its types; "电话" when they say nothing we name.
QString phoneLabelOfTypes(const VCardProperty& tel);
// The TYPE parameter of a TEL under that label: "CELL", "WORK,FAX", ..., "VOICE" for any other.
QByteArray phoneTypesOfLabel(const QString& label);
