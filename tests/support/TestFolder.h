#pragma once
// A temporary folder standing in for the executable's folder, so tests never
// touch a real database file.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TestFolder {
public:
    TestFolder();
    QString path() const { return dir_.path(); }
    // The full path of a file in the folder.
    QString file(const QString& name) const { return dir_.filePath(name); }
    // The database path the program uses for an executable in this folder.
    QString databasePath() const { return file(QStringLiteral("Kalvo.mdb")); }
    QString executablePath() const { return file(QStringLiteral("tessaly")); }

    static QByteArray readAll(const QString& fileName);
    static void writeAll(const QString& fileName, const QByteArray& bytes);

private:
    QTemporaryDir dir_;
};
