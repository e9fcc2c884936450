// "ADOX.Catalog": creates an empty database file keyed with the password of
// its creation text. The file is written out at once, so it already refuses
// any other password.

#include "AdoxCatalog.h"

#include "ConnectionText.h"
#include "Errors.h"
#include "SqliteHandle.h"

#include <QFile>
#include <QFileInfo>

namespace {

void createKeyedFile(const QString& fileName, const QString& password)
{
    SqliteHandle db = OpenWithKey(fileName, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, password);
    // Writing the header page makes the key check part of the file.
    ExecuteAll(db.get(), QStringLiteral("PRAGMA user_version = 1"));
}

class Catalog : public OleAutomationObject {
public:
    QVariant Invoke(const QString& method, const QVariantList& args) override
    {
        if (method.compare(QStringLiteral("Create"), Qt::CaseInsensitive) != 0)
            throw EOleError(QStringLiteral("未知名称"));
        if (args.size() != 1)
            throw EOleError(QStringLiteral("参数个数无效"));
        Create(args.at(0).toString());
        return QVariant();
    }

private:
    static void Create(const QString& text)
    {
        if (!IsJetProvider(text))
            throw EOleError(QStringLiteral("未找到提供程序。该程序可能未正确安装。"));
        const QString fileName = ConnectionValue(text, QStringLiteral("Data Source"));
        const QString password = ConnectionValue(text, QStringLiteral("Jet OLEDB:Database Password"));
        if (fileName.isEmpty())
            throw EOleError(QStringLiteral("无法打开数据库文件"));
        if (QFileInfo::exists(fileName) || QFileInfo(fileName).isSymLink())
            throw EOleError(QStringLiteral("数据库已存在"));
        try {
            createKeyedFile(fileName, password);
        } catch (const SqliteFailure& f) {
            // The file is ours alone: a half-made one would accept any key later.
            QFile::remove(fileName);
            throw EOleError(f.text);
        }
    }
};

}  // namespace

std::unique_ptr<OleAutomationObject> CreateOleObject(const QString& progId)
{
    if (progId.compare(QStringLiteral("ADOX.Catalog"), Qt::CaseInsensitive) == 0)
        return std::make_unique<Catalog>();
    throw EOleError(QStringLiteral("无效的类字符串"));
}
