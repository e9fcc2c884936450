#include "tests/support/RadicaleServer.h"

#include "tests/support/TestFolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <csignal>

namespace {

constexpr int kStartWaitMs = 15000;
constexpr int kStartAttempts = 3;  // a port found free can be taken before Radicale binds it

int FreePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

QByteArray Config(RadicaleServer::Setup setup, int port, const QString& folder)
{
    const bool login = setup != RadicaleServer::Setup::Open;
    QByteArray config = "[server]\nhosts = 127.0.0.1:" + QByteArray::number(port) + "\n";
    if (setup == RadicaleServer::Setup::Https)
        config += "ssl = True\ncertificate = " + (folder + "/cert.pem").toUtf8()
                  + "\nkey = " + (folder + "/key.pem").toUtf8() + "\n";
    config += login ? "[auth]\ntype = htpasswd\nhtpasswd_filename = " + (folder + "/users").toUtf8()
                          + "\nhtpasswd_encryption = md5\ndelay = 0\n[rights]\ntype = owner_only\n"
                    : "[auth]\ntype = none\n[rights]\ntype = authenticated\n";
    config += "[storage]\nfilesystem_folder = " + (folder + "/collections").toUtf8() + "\n";
    config += "[web]\ntype = none\n[logging]\nlevel = warning\nmask_passwords = True\n";
    return config;
}

// What went wrong running the tool; empty when it ended well.
QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    if (program.isEmpty() || !tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit
        || tool.exitCode() != 0)
        return QStringLiteral("%1 %2 failed: %3")
            .arg(program, arguments.value(0), QString::fromLocal8Bit(tool.readAll()));
    return {};
}

}  // namespace

QString RadicaleServer::missing()
{
    if (QStandardPaths::findExecutable(QStringLiteral("radicale")).isEmpty())
        return QStringLiteral("radicale is not installed (Debian package radicale)");
    return {};
}

RadicaleServer::RadicaleServer(Setup setup) : setup_(setup)
{
    if (!prepare())
        return;
    const QString eatmydata = QStandardPaths::findExecutable(QStringLiteral("eatmydata"));
    const QString radicale = QStandardPaths::findExecutable(QStringLiteral("radicale"));
    process_.setStandardOutputFile(folder_.filePath(QStringLiteral("log")), QIODevice::Append);
    process_.setStandardErrorFile(folder_.filePath(QStringLiteral("log")), QIODevice::Append);
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        failure_.clear();
        port_ = FreePort();
        TestFolder::writeAll(folder_.filePath(QStringLiteral("config")), Config(setup_, port_, folder_.path()));
        const QStringList arguments{QStringLiteral("--config"), folder_.filePath(QStringLiteral("config"))};
        if (eatmydata.isEmpty())
            process_.start(radicale, arguments);
        else
            process_.start(eatmydata, QStringList{radicale} + arguments);
        if (waitUntilAnswering())
            return;
    }
}

RadicaleServer::~RadicaleServer()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    // Killed outright: its folder is thrown away, and SIGTERM makes Radicale
    // wait for its poll to time out, more than a second per server.
    ::kill(pid_t(process_.processId()), SIGKILL);
    process_.waitForFinished(5000);
}

bool RadicaleServer::prepare()
{
    if (!folder_.isValid()) {
        failure_ = QStringLiteral("no temporary folder");
        return false;
    }
    if (setup_ != Setup::Open)
        failure_ = RunTool(QStandardPaths::findExecutable(QStringLiteral("htpasswd")),
                           {QStringLiteral("-bcm"), folder_.filePath(QStringLiteral("users")), user(), password()});
    if (failure_.isEmpty() && setup_ == Setup::Https)
        failure_ = MakeCertificate(caFile(), folder_.filePath(QStringLiteral("key.pem")));
    return failure_.isEmpty();
}

QString RadicaleServer::MakeCertificate(const QString& certFile, const QString& keyFile)
{
    // An EC key: made in milliseconds, where RSA takes a noticeable part of a second.
    return RunTool(QStandardPaths::findExecutable(QStringLiteral("openssl")),
                   {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                    QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"),
                    QStringLiteral("-nodes"), QStringLiteral("-keyout"), keyFile, QStringLiteral("-out"), certFile,
                    QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                    QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                    QStringLiteral("subjectAltName=IP:127.0.0.1")});
}

bool RadicaleServer::waitUntilAnswering()
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kStartWaitMs) {
        if (process_.state() == QProcess::NotRunning || process_.waitForFinished(0)) {
            failure_ = QStringLiteral("radicale ended: ")
                       + QString::fromLocal8Bit(TestFolder::readAll(folder_.filePath(QStringLiteral("log"))));
            return false;
        }
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(port_));
        if (probe.waitForConnected(200))
            return true;
        QThread::msleep(30);
    }
    failure_ = QStringLiteral("radicale did not answer on port %1 within %2 ms").arg(port_).arg(kStartWaitMs);
    return false;
}

QUrl RadicaleServer::root() const
{
    const QString scheme = setup_ == Setup::Https ? QStringLiteral("https") : QStringLiteral("http");
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/").arg(scheme).arg(port_));
}

QString RadicaleServer::caFile() const
{
    return setup_ == Setup::Https ? folder_.filePath(QStringLiteral("cert.pem")) : QString();
}

DavAccount RadicaleServer::account() const
{
    DavAccount account;
    account.url = root();
    if (setup_ != Setup::Open) {
        account.user = user();
        account.password = password();
    }
    account.caFile = caFile();
    account.timeoutMs = 10000;
    return account;
}

QUrl RadicaleServer::bookUrl(const QString& name) const
{
    return root().resolved(QUrl(QStringLiteral("/%1/%2/").arg(user(), name)));
}

QUrl RadicaleServer::createAddressBook(const QString& name, const QString& displayName)
{
    DavClient client(account());
    // Without a login Radicale makes no home for the user; the address book needs one above it.
    if (setup_ == Setup::Open)
        client.send("MKCOL", root().resolved(QUrl(QStringLiteral("/%1/").arg(user()))));
    const QUrl url = bookUrl(name);
    const QByteArray body =
        R"(<?xml version="1.0" encoding="utf-8"?><d:mkcol xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav">)"
        "<d:set><d:prop><d:resourcetype><d:collection/><c:addressbook/></d:resourcetype><d:displayname>"
        + (displayName.isEmpty() ? name : displayName).toHtmlEscaped().toUtf8()
        + "</d:displayname></d:prop></d:set></d:mkcol>";
    const DavReply reply = client.send("MKCOL", url, body);
    return reply.status == 201 ? url : QUrl();
}

QUrl RadicaleServer::seedAddressBook(const QString& name, const QList<QByteArray>& cards)
{
    DavClient client(account());
    if (setup_ == Setup::Open)
        client.send("MKCOL", root().resolved(QUrl(QStringLiteral("/%1/").arg(user()))));
    const QUrl url = bookUrl(name);
    const DavReply reply = client.send("PUT", url, cards.join());
    return reply.status == 201 ? url : QUrl();
}

PhoneResult RadicaleServer::phone(const QUrl& book, const QStringList& arguments, const QByteArray& input) const
{
    QStringList command{TestFolder::sourcePath(QStringLiteral("tests/sync/phone.py")), QStringLiteral("--book"),
                        book.toString()};
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (setup_ != Setup::Open) {
        command << QStringLiteral("--user") << user();
        // Not on the command line, where every process of the machine could read it.
        environment.insert(QStringLiteral("TESSALY_PHONE_PASSWORD"), password());
    }
    if (setup_ == Setup::Https)
        command << QStringLiteral("--ca-file") << caFile();
    QProcess phone;
    phone.setProcessEnvironment(environment);
    // Debian's own Python starts in a third of the time of a python3 on PATH that is a version manager's shim.
    if (QFile::exists(QStringLiteral("/usr/bin/python3")))
        phone.start(QStringLiteral("/usr/bin/python3"), command + arguments);
    else
        phone.start(QStringLiteral("python3"), command + arguments);
    phone.write(input);
    phone.closeWriteChannel();
    PhoneResult result;
    if (!phone.waitForFinished(60000)) {
        phone.kill();
        phone.waitForFinished();
        result.err = "the phone did not end within a minute";
        return result;
    }
    result.exitCode = phone.exitStatus() == QProcess::NormalExit ? phone.exitCode() : -1;
    result.out = phone.readAllStandardOutput();
    result.err = phone.readAllStandardError();
    return result;
}
