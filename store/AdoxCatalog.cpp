// "ADOX.Catalog": creates an empty database file keyed with the password of
// its creation text. The file is written out at once, so it already refuses
// any other password.
//
// Two copies of the program may create the same book at the same moment. The
// file is therefore made whole, its tables included, under a hidden name of its
// own and only then moved to the book's name, and only if nothing is there yet:
// the copy that loses the race removes nothing but its own scratch file, and no
// copy ever sees a half-made book. A creation killed half-way leaves its hidden
// file behind; a later start removes it once it is plainly abandoned.

#include "AdoxCatalog.h"

#include "platform/Errors.h"
#include "platform/OtherHolders.h"
#include "store/ConnectionText.h"
#include "store/SqliteHandle.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString existsText = QStringLiteral("数据库已存在");

// The hidden name a creation works under: ".Kalvo.mdb-<16 hex digits>.new".
const QString scratchSuffix = QStringLiteral(".new");
constexpr int scratchDigits = 16;

QString scratchName(const QString& bookName, quint64 number)
{
    return QStringLiteral(".%1-%2").arg(bookName).arg(number, scratchDigits, 16, QLatin1Char('0')) + scratchSuffix;
}

// Every name scratchName gives, and the journal SQLite keeps beside such a file while it writes it.
QRegularExpression scratchPattern(const QString& bookName)
{
    return QRegularExpression(QStringLiteral("^%1-[0-9a-f]{%2}%3(-journal)?$")
                                  .arg(QRegularExpression::escape(u'.' + bookName))
                                  .arg(scratchDigits)
                                  .arg(QRegularExpression::escape(scratchSuffix)));
}

QString errnoText(int error)
{
    if (error == EEXIST)
        return existsText;
    if (error == ENOSPC || error == EDQUOT)
        return SqliteErrorText(SQLITE_FULL, nullptr);
    return SqliteErrorText(SQLITE_CANTOPEN, nullptr);
}

bool unsupported(int error)
{
    return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP;
}

// A file beside the book that this call made (O_EXCL) and so may remove.
class ScratchFile {
public:
    explicit ScratchFile(const QString& target)
    {
        const QFileInfo info(target);
        for (int attempt = 0; attempt < 16 && path_.isEmpty(); ++attempt) {
            const QString name = scratchName(info.fileName(), QRandomGenerator::global()->generate64());
            const QByteArray candidate = QFile::encodeName(info.dir().filePath(name));
            // The book is its owner's only, whatever the umask; SQLite gives its
            // journal the same mode.
            const int fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0) {
                ::fchmod(fd, 0600);
                ::close(fd);
                path_ = candidate;
            } else if (errno != EEXIST) {
                throw EOleError(errnoText(errno));
            }
        }
        if (path_.isEmpty())
            throw EOleError(errnoText(EEXIST));
    }
    ~ScratchFile()
    {
        if (!path_.isEmpty())
            ::unlink(path_.constData());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    QString fileName() const { return QFile::decodeName(path_); }

    // Gives the file the target's name unless something (a file, a folder, a
    // link) already has it. Where the file system cannot rename without
    // replacing, a hard link refuses an existing name just the same; where it
    // has no hard links either (FAT), a look just before the rename is the
    // best there is.
    void moveTo(const QString& target)
    {
        const QByteArray to = QFile::encodeName(target);
        if (::renameat2(AT_FDCWD, path_.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
            path_.clear();
            return;
        }
        if (!unsupported(errno))
            throw EOleError(errnoText(errno));
        if (::link(path_.constData(), to.constData()) == 0) {
            ::unlink(path_.constData());
            path_.clear();
            return;
        }
        if (errno != EPERM && !unsupported(errno))
            throw EOleError(errnoText(errno));
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            throw EOleError(existsText);
        if (::rename(path_.constData(), to.constData()) != 0)
            throw EOleError(errnoText(errno));
        path_.clear();
    }

private:
    QByteArray path_;
};

void createKeyedFile(const QString& fileName, const QString& password, const QStringList& statements)
{
    ScratchFile scratch(fileName);
    try {
        // The scratch file exists already: no SQLITE_OPEN_CREATE.
        SqliteHandle db = OpenWithKey(scratch.fileName(), SQLITE_OPEN_READWRITE, password);
        // Writing the header page makes the key check part of the file.
        ExecuteAll(db.get(), QStringLiteral("PRAGMA user_version = 1"));
        for (const QString& statement : statements)
            ExecuteAll(db.get(), statement);
    } catch (const SqliteFailure& f) {
        throw EOleError(f.text);
    }
    scratch.moveTo(fileName);
}

class Catalog : public OleAutomationObject {
public:
    QVariant Invoke(const QString& method, const QVariantList& args) override
    {
        if (method.compare(QStringLiteral("Create"), Qt::CaseInsensitive) != 0)
            throw EOleError(QStringLiteral("未知名称"));
        if (args.isEmpty() || args.size() > 2)
            throw EOleError(QStringLiteral("参数个数无效"));
        Create(args.at(0).toString(), args.value(1).toStringList());
        return QVariant();
    }

private:
    static void Create(const QString& text, const QStringList& statements)
    {
        if (!IsJetProvider(text))
            throw EOleError(QStringLiteral("未找到提供程序。该程序可能未正确安装。"));
        const QString fileName = ConnectionValue(text, QStringLiteral("Data Source"));
        const QString password = ConnectionValue(text, QStringLiteral("Jet OLEDB:Database Password"));
        if (fileName.isEmpty())
            throw EOleError(QStringLiteral("无法打开数据库文件"));
        // Saves the key derivation when the book is plainly there; the move
        // into place is what decides a race.
        if (QFileInfo::exists(fileName) || QFileInfo(fileName).isSymLink())
            throw EOleError(existsText);
        createKeyedFile(fileName, password, statements);
    }
};

}  // namespace

std::unique_ptr<OleAutomationObject> CreateOleObject(const QString& progId)
{
    if (progId.compare(QStringLiteral("ADOX.Catalog"), Qt::CaseInsensitive) == 0)
        return std::make_unique<Catalog>();
    throw EOleError(QStringLiteral("无效的类字符串"));
}

void RemoveAbandonedCreations(const QString& fileName)
{
    constexpr qint64 abandonedAfterSeconds = 60;
    const QFileInfo book(fileName);
    const QDir folder = book.dir();
    const QRegularExpression pattern = scratchPattern(book.fileName());
    const QDateTime now = QDateTime::currentDateTime();
    for (const QFileInfo& entry : folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!pattern.match(entry.fileName()).hasMatch() || entry.isSymLink())
            continue;
        // A creation at work writes its file within moments and holds it open.
        if (entry.lastModified().secsTo(now) < abandonedAfterSeconds || !OtherHolders(entry.filePath()).isEmpty())
            continue;
        ::unlink(QFile::encodeName(entry.filePath()).constData());
    }
}
