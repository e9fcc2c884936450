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
#include "platform/FileNames.h"
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
            const QString candidate = info.dir().filePath(name);
            // The book is its owner's only, whatever the umask; SQLite gives its
            // journal the same mode.
            const int error = CreatePrivateFile(candidate);
            if (error == 0)
                path_ = candidate;
            else if (error != EEXIST)
                throw EOleError(errnoText(error));
        }
        if (path_.isEmpty())
            throw EOleError(errnoText(EEXIST));
    }
    ~ScratchFile()
    {
        if (!path_.isEmpty())
            RemoveName(path_);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    QString fileName() const { return path_; }

    // Gives the file the target's name unless something (a file, a folder, a
    // link) already has it. Where the file system cannot rename without
    // replacing, a hard link refuses an existing name just the same; where it
    // has no hard links either (FAT), a look just before the rename is the
    // best there is.
    void moveTo(const QString& target)
    {
        int error = RenameWithoutReplacing(path_, target);
        if (error == 0) {
            path_.clear();
            return;
        }
        if (!unsupported(error))
            throw EOleError(errnoText(error));
        error = AddName(path_, target);
        if (error == 0) {
            RemoveName(path_);
            path_.clear();
            return;
        }
        if (error != EPERM && !unsupported(error))
            throw EOleError(errnoText(error));
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            throw EOleError(existsText);
        if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(target).constData()) != 0)
            throw EOleError(errnoText(errno));
        path_.clear();
    }

private:
    QString path_;
};

void createKeyedFile(const QString& fileName, const QString& password, const QStringList& statements)
{
    ScratchFile scratch(fileName);
    RaisingSqliteAs([](const QString& text) { throw EOleError(text); },
                    [&] {
                        // The scratch file exists already: no SQLITE_OPEN_CREATE.
                        SqliteHandle db = OpenWithKey(scratch.fileName(), SQLITE_OPEN_READWRITE, password);
                        // Writing the header page makes the key check part of the file.
                        ExecuteAll(db.get(), QStringLiteral("PRAGMA user_version = 1"));
                        for (const QString& statement : statements)
                            ExecuteAll(db.get(), statement);
                    });
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
        RemoveName(entry.filePath());
    }
}
