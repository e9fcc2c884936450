// The vCard codec alone: writing 100,000 contacts, reading 10,000 cards of
// which a third carry a 20 KB photo. For scale, python3-vobject parses the
// same files when it is installed.
#include "exchange/vcard/VCardReader.h"
#include "exchange/vcard/VCardWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

namespace {

// Wall time and the processor time of this process: on a shared machine the
// second says what the code costs.
struct Stopwatch {
    QElapsedTimer wall;
    std::clock_t cpu = std::clock();
    Stopwatch() { wall.start(); }
    QByteArray text() const
    {
        const long long cpuMs = static_cast<long long>(std::clock() - cpu) * 1000 / CLOCKS_PER_SEC;
        return QByteArray::number(wall.elapsed()) + " ms (" + QByteArray::number(cpuMs) + " ms processor)";
    }
};

StoredContact sampleContact(int i, const QByteArray& photo)
{
    StoredContact c;
    const QString n = QString::number(i);
    c.texts = {i % 3 == 0 ? u"朋友"_qs : u"同事"_qs,
               u"欧阳小"_qs + QString::number(i % 100),
               u"1990年1月"_qs + QString::number(i % 28 + 1) + u"日"_qs,
               u"138"_qs + QString::number(10000000 + i),
               n,
               u"北京市海淀区中关村大街"_qs + n + u"号"_qs,
               u"备注文字，第"_qs + n + u"条; 说明"_qs};
    c.photo = photo;
    return c;
}

QByteArray samplePhoto(int i)
{
    QByteArray photo(20 * 1024, Qt::Uninitialized);
    quint32 x = 2463534242u + static_cast<quint32>(i);
    for (char& b : photo) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<char>(x);
    }
    return photo;
}

void write(const QString& path, const QList<StoredContact>& contacts, const char* what)
{
    for (int round = 0; round < 3; ++round) {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        const Stopwatch timer;
        writeVCards(file, contacts);
        file.close();
        std::printf("write %s: %s, %lld bytes\n", what, timer.text().constData(), QFile(path).size());
    }
}

void read(const QString& path, const char* what)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    for (int round = 0; round < 3; ++round) {
        const Stopwatch timer;
        const DraftSet set = readVCards(bytes);
        std::printf("read %s: %s, %lld cards, %lld failures\n", what, timer.text().constData(),
                    static_cast<long long>(set.drafts.size()), static_cast<long long>(set.failures.size()));
    }
}

void vobject(const QString& path, const char* what)
{
    QProcess python;
    QElapsedTimer timer;
    timer.start();
    python.start("/usr/bin/python3",
                 {"-c",
                  "import sys, vobject\n"
                  "n = sum(1 for _ in vobject.readComponents(open(sys.argv[1], encoding='utf-8').read()))\n"
                  "print(n)",
                  path});
    if (!python.waitForFinished(600000) || python.exitCode() != 0) {
        std::printf("python3-vobject on %s: not available\n", what);
        return;
    }
    std::printf("python3-vobject parses %s: %lld ms (%s cards, interpreter start included)\n", what, timer.elapsed(),
                python.readAllStandardOutput().trimmed().constData());
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool withVobject = !app.arguments().contains(QStringLiteral("--no-vobject"));
    QTemporaryDir dir;

    QList<StoredContact> many;
    for (int i = 0; i < 100000; ++i)
        many.append(sampleContact(i, QByteArray()));
    const QString manyPath = dir.filePath("many.vcf");
    write(manyPath, many, "100,000 contacts");

    QList<StoredContact> pictured;
    for (int i = 0; i < 10000; ++i)
        pictured.append(sampleContact(i, i % 3 == 0 ? samplePhoto(i) : QByteArray()));
    const QString picturedPath = dir.filePath("pictured.vcf");
    write(picturedPath, pictured, "10,000 contacts, a third with 20 KB photos");

    read(picturedPath, "10,000 cards, a third with 20 KB photos");
    read(manyPath, "100,000 cards");
    if (withVobject)
        vobject(picturedPath, "10,000 cards, a third with 20 KB photos");
    return 0;
}
