#pragma once
// The labels a phone number gets from its vCard types and gives them back:
// TYPE=CELL is "手机", TYPE=WORK,FAX is "工作传真", ... the same words the
// spreadsheets' headers use, so a number keeps its kind through every format.

#include <QByteArray>
#include <QString>

struct VCardProperty;

// The label of a TEL property by its types; "电话" when they say nothing we name.
QString phoneLabelOfTypes(const VCardProperty& tel);
// The label of a number by the word Apple's address book gives it ("mobile",
// "work", "homefax" of "_$!<HomeFAX>!$_", in lower case); "电话" for any other.
QString phoneLabelOfAppleLabel(const QString& word);
// The TYPE parameter of a TEL under that label: "CELL", "WORK,FAX", ..., by the
// words of the label for the spreadsheets' kinds ("商务电话" is WORK), "VOICE" for any other.
QByteArray phoneTypesOfLabel(const QString& label);
// Whether the label is what phoneLabelOfTypes gives back for its types ("手机", "电话"):
// another ("商务电话") needs its own name written beside the number to come back.
bool isLabelOfItsTypes(const QString& label);
