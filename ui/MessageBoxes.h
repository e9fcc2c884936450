#pragma once
// The program's two message boxes, both captioned "提示", and the web link.

#include <QString>

class QWidget;

// The window that owns the program's boxes (the main window); set once at start.
void SetApplicationWindow(QWidget* window);

void InfoBox(const QString& message);
// True exactly when the user chose Yes.
bool ConfirmBox(const QString& question);

// The working directory handed to the shell: the name up to and including its last "/".
QString WorkingDirectoryOf(const QString& fileName);
// Hands a file or address to the desktop; true when it was accepted. Shows nothing.
bool OpenDocument(const QString& fileName, const QString& parameters);

// The product's web page, opened by a click on the main window's status bar.
extern const QString ProductWebPage;
