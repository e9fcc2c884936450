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
    // A file of the source tree, by its path from the tree's root: ctest tells
    // each test where the tree lies (TESSALY_SOURCE_ROOT), so no object file
    // holds the tree's place and a clone elsewhere reuses the compiler cache.
    static QString sourcePath(const QString& relative);
    static void writeAll(const QString& fileName, const QByteArray& bytes);

private:
    QTemporaryDir dir_;
};
