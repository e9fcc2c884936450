#pragma once
// Another process with the book open, as the window program holds it while it
// runs: a copy of sleep under the program's name, so /proc names it so too.

#include "tests/support/TestFolder.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

class BookHolder {
public:
    explicit BookHolder(const QString& book, const QString& name = QStringLiteral("tessaly"))
    {
        const QString program = folder_.file(name);
        QFile::copy(QStandardPaths::findExecutable(QStringLiteral("sleep")), program);
        QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
        // The descriptor opened by bash survives the exec into the renamed sleep.
        process_.start(
            QStringLiteral("bash"),
            {QStringLiteral("-c"), QStringLiteral("exec 3<\"$0\"; echo held; exec \"$1\" 30"), book, program});
        held_ = process_.waitForReadyRead(5000) && QTest::qWaitFor([&] {
                    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid()));
                    return comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == name.toUtf8();
                });
    }
    ~BookHolder()
    {
        process_.kill();
        process_.waitForFinished();
    }
    bool held() const { return held_; }
    qint64 pid() const { return process_.processId(); }

private:
    TestFolder folder_;
    QProcess process_;
    bool held_ = false;
};
