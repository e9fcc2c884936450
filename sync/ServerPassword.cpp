#include "sync/ServerPassword.h"

#include <QEventLoop>
#include <QTimer>
#include <memory>
#include <qt6keychain/keychain.h>

namespace {

const QString kService = QStringLiteral("Tessaly");

struct JobEnd {
    bool finished = false;
    QKeychain::Error error = QKeychain::NoError;
    QString text;
};

// Runs the job under a local event loop for at most waitMs. The job deletes
// itself when it ends, late or not, so a keyring that wakes up after we gave
// up finds nothing of ours to write into but the shared end.
JobEnd Run(QKeychain::Job* job, int waitMs)
{
    auto end = std::make_shared<JobEnd>();
    job->setAutoDelete(true);
    job->setInsecureFallback(false);  // never a password in a plain settings file
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [end, &loop](QKeychain::Job* done) {
        end->finished = true;
        end->error = done->error();
        if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(done))
            end->text = read->textData();
        loop.quit();
    });
    QTimer::singleShot(waitMs, &loop, &QEventLoop::quit);
    job->start();
    if (!end->finished)
        loop.exec();
    QObject::disconnect(job, nullptr, &loop, nullptr);
    return *end;
}

template <class JobType>
JobType* NewJob(const QString& user, const QUrl& server)
{
    auto* job = new JobType(kService);
    job->setKey(PasswordKey(user, server));
    return job;
}

}  // namespace

QString PasswordKey(const QString& user, const QUrl& server)
{
    return user + u'@' + server.toString(QUrl::RemoveUserInfo);
}

KeyringAnswer StorePassword(const QString& user, const QUrl& server, const QString& password, int waitMs)
{
    auto* job = NewJob<QKeychain::WritePasswordJob>(user, server);
    job->setTextData(password);
    const JobEnd end = Run(job, waitMs);
    return end.finished && end.error == QKeychain::NoError ? KeyringAnswer::Stored : KeyringAnswer::NoKeyring;
}

std::optional<QString> ReadPassword(const QString& user, const QUrl& server, int waitMs)
{
    const JobEnd end = Run(NewJob<QKeychain::ReadPasswordJob>(user, server), waitMs);
    if (!end.finished || end.error != QKeychain::NoError)
        return std::nullopt;
    return end.text;
}

bool ForgetPassword(const QString& user, const QUrl& server, int waitMs)
{
    const JobEnd end = Run(NewJob<QKeychain::DeletePasswordJob>(user, server), waitMs);
    return end.finished && (end.error == QKeychain::NoError || end.error == QKeychain::EntryNotFound);
}
