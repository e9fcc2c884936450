#include "BookGate.h"

#include "book/BookFile.h"

#include <QFile>

QString SecretFromFile(Console& console, const QString& path)
{
    std::optional<QByteArray> line;
    if (path == QStringLiteral("-")) {
        line = console.inputLine();
    } else {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            QByteArray bytes = file.readLine(4096);
            if (bytes.endsWith('\n'))
                bytes.chop(1);
            if (bytes.endsWith('\r'))
                bytes.chop(1);
            line = bytes;
        }
    }
    if (!line)
        throw Exception(QStringLiteral("无法读取密码文件 %1").arg(ShownPath(path)));
    return QString::fromUtf8(*line);
}

void UnlockBook(BookRun& run, const LoginCheck& check)
{
    if (run.password && check.accepts(*run.password))
        return;
    if (!run.passwordFile.isEmpty()) {
        const QString typed = SecretFromFile(run.console, run.passwordFile);
        if (!check.accepts(typed))
            throw PasswordRefused();
        run.password = typed;
        return;
    }
    if (!run.console.canAsk())
        throw UsageError(
            QStringLiteral("需要登录密码：没有终端可以询问，请用 --password-file 文件 给出（- 表示标准输入）"));
    constexpr int Tries = 3;
    for (int attempt = 1; attempt <= Tries; ++attempt) {
        const std::optional<QString> typed = run.console.askHidden(QStringLiteral("密码："));
        if (!typed)
            break;
        if (check.accepts(*typed)) {
            run.password = typed;
            return;
        }
        if (attempt < Tries)
            run.console.err(QStringLiteral("密码不对"));
    }
    throw PasswordRefused();
}
