#pragma once
// A real CardDAV server for the sync's tests: Radicale on 127.0.0.1 on a free
// port, with a throwaway folder and a config of its own (the system's asks for
// another kind of login), stopped by its PID when the object ends. Three
// set-ups: no login, a login checked against an htpasswd file, and the same
// login over HTTPS with a self-signed certificate the client is given as its
// CA file. Run under eatmydata where it is installed: Radicale syncs every
// card it writes to disk, which a test's throwaway folder does not need.
//
// A test without Radicale skips: QSKIP(RadicaleServer::missing()) when it is
// not empty.
//
// The "phone" (tests/sync/phone.py) reads and writes the same server the way
// phone sync apps do; phone() runs it against one address book.

#include "sync/DavClient.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

struct PhoneResult {
    int exitCode = -1;  // 0 done, 3 precondition failed (412), 4 not found (404), 1 anything else
    QByteArray out;
    QByteArray err;
};

class RadicaleServer {
public:
    enum class Setup { Open, Password, Https };

    // Why the tests cannot run here; empty when radicale is installed.
    static QString missing();
    // A self-signed certificate for 127.0.0.1 and its key, by openssl; what failed, else empty.
    static QString MakeCertificate(const QString& certFile, const QString& keyFile);

    // Starts the server and waits until it answers; QVERIFY(started()) after.
    explicit RadicaleServer(Setup setup);
    ~RadicaleServer();
    RadicaleServer(const RadicaleServer&) = delete;
    RadicaleServer& operator=(const RadicaleServer&) = delete;

    bool started() const { return failure_.isEmpty(); }
    QString failure() const { return failure_; }  // what went wrong while starting

    QUrl root() const;  // http(s)://127.0.0.1:port/
    QString user() const { return QStringLiteral("li"); }
    QString password() const { return QStringLiteral("pw-Radicale-7"); }
    QString caFile() const;                   // the certificate in the HTTPS set-up, else empty
    DavAccount account() const;               // root(), user, password and CA file as this set-up needs them
    QUrl bookUrl(const QString& name) const;  // /li/<name>/

    // Makes an address book by extended MKCOL and returns its address; empty when refused.
    QUrl createAddressBook(const QString& name, const QString& displayName = {});
    // Makes an address book holding these cards in one request (Radicale takes a
    // whole vCard file put on a collection's address), each at "<its UID>.vcf":
    // Radicale answers about 20 requests a second, too few to seed card by card.
    QUrl seedAddressBook(const QString& name, const QList<QByteArray>& cards);

    // Runs the phone against that address book with this server's login.
    PhoneResult phone(const QUrl& book, const QStringList& arguments, const QByteArray& input = {}) const;

    qint64 pid() const { return process_.processId(); }

private:
    bool prepare();  // the config, the password file and the certificate
    bool waitUntilAnswering();

    Setup setup_;
    QTemporaryDir folder_;
    int port_ = 0;
    QProcess process_;
    QString failure_;
};
