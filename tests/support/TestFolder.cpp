#include "TestFolder.h"

#include <QFile>
#include <stdexcept>

TestFolder::TestFolder()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TestFolder::sourcePath(const QString& relative)
{
    const QString root = qEnvironmentVariable("TESSALY_SOURCE_ROOT");
    if (root.isEmpty())
        qFatal("TESSALY_SOURCE_ROOT is not set: run the test through ctest");
    return root + u'/' + relative;
}

QByteArray TestFolder::readAll(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void TestFolder::writeAll(const QString& fileName, const QByteArray& bytes)
{
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}
