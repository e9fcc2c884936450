#include "KilledRuns.h"

#include "tests/support/TestRandom.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>

KilledRun runAndKill(const QStringList& args, int lines, int extraMs)
{
    KilledRun run;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationDirPath() + QStringLiteral("/" KILLED_BOOK), args);
    if (!child.waitForStarted())
        return run;
    int finished = 0;
    while (finished < lines && child.state() == QProcess::Running) {
        if (!child.canReadLine() && !child.waitForReadyRead(30000))
            break;
        while (child.canReadLine()) {
            const QString line = QString::fromUtf8(child.readLine()).trimmed();
            run.lines << line;
            if (line != QLatin1String("started"))
                ++finished;
        }
    }
    if (child.state() == QProcess::Running) {
        QThread::msleep(extraMs);
        child.kill();  // SIGKILL
        run.killed = true;
    }
    child.waitForFinished();
    // Whatever it printed before it died is still in the pipe.
    for (const QByteArray& line : child.readAllStandardOutput().split('\n'))
        if (!line.trimmed().isEmpty())
            run.lines << QString::fromUtf8(line).trimmed();
    run.killed = run.killed && child.exitStatus() == QProcess::CrashExit;
    run.output = run.lines.join(QLatin1Char('\n'));
    return run;
}

int runToEnd(const QStringList& args)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationDirPath() + QStringLiteral("/" KILLED_BOOK), args);
    child.waitForFinished(120000);
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
}

QStringList sqlcipher(const TestFolder& folder, const QString& sql)
{
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    if (shell.isEmpty())
        qFatal("the sqlcipher shell is not installed");
    QProcess process;
    process.start(shell, {folder.databasePath()});
    process.waitForStarted();
    process.write(QStringLiteral("PRAGMA key='%1';\n%2\n").arg(QLatin1String(Key), sql).toUtf8());
    process.closeWriteChannel();
    process.waitForFinished(120000);
    const QString out = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString integrity(const TestFolder& folder)
{
    return sqlcipher(folder, QStringLiteral("PRAGMA integrity_check;")).join(QLatin1Char('|'));
}

int randomBelow(int bound)
{
    static QRandomGenerator random = SeededRandom("kill moments", 20261208);
    return int(random.bounded(bound));
}

QStringList reported(const QStringList& lines, const QString& prefix)
{
    QStringList out;
    for (const QString& line : lines)
        if (line.startsWith(prefix))
            out << line.mid(prefix.size());
    return out;
}
