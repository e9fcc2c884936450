#pragma once
// The --gui face of a command: its report in a box with one OK button, and the
// save dialog of an export given no file. Widgets live here and in main only.

#include <QString>
#include <QStringList>
#include <optional>

// Shows what a command said; nothing when it said nothing (a cancelled dialog).
void ShowReport(const QStringList& arguments, const QStringList& lines, int status);

// The report as the box shows it: a long one keeps its head and its last line.
QString ReportBoxText(const QStringList& lines);

// Asks where an export goes; nothing when cancelled. A name without a known
// extension gets the first export format's.
std::optional<QString> AskExportFile();
