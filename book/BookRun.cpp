// The entry of tessaly-book: the shared options, the command table, and the
// one place that turns failures into messages and exit statuses.

#include "BookRun.h"

#include "book/Commands.h"
#include "book/GuiReport.h"
#include "book/ListTable.h"
#include "exchange/ContactDraft.h"
#include "platform/AppPaths.h"
#include "platform/TextRules.h"

#include <QDir>

#include <algorithm>

const QList<BookCommand>& BookCommands()
{
    static const QList<BookCommand> commands{
        {QStringLiteral("import"), QStringLiteral("[--dry-run] 文件..."),
         QStringLiteral("把文件中的联系人加入通讯录（按扩展名识别格式；--dry-run 只报告，不写入）"), RunImport},
        {QStringLiteral("export"), QStringLiteral("文件"), QStringLiteral("把全部联系人按表中顺序写入文件"), RunExport},
        {QStringLiteral("list"), QStringLiteral("[--numbers] [--pinyin]"),
         QStringLiteral("列出全部联系人（--numbers 第一列为编号，--pinyin 加一列姓名的拼音）"), RunList},
        {QStringLiteral("find"), QStringLiteral("[--pinyin] 文字"),
         QStringLiteral("找出含有这段文字或姓名拼音相符（如 zs 找到张三）的联系人，按姓名排序"), RunFind},
        {QStringLiteral("backup"), QStringLiteral("[文件]"),
         QStringLiteral("备份通讯录（默认为通讯录旁的 Kalvo-年月日-时分秒.mdb，从不覆盖已有文件）"), RunBackup},
        {QStringLiteral("check"), QString(), QStringLiteral("检查通讯录是否完好，并报告联系人数"), RunCheck},
        {QStringLiteral("qr"), QStringLiteral("编号 文件"),
         QStringLiteral("把一个联系人写成手机可扫描的二维码（.png 或 .svg；编号见 list --numbers）"), RunQr},
        {QStringLiteral("birthdays"), QStringLiteral("[--days N] [--today 日期] [--not-understood|--notify]"),
         QStringLiteral("N 天内（默认 30）过生日的联系人，农历生日亦然；--not-understood 列出读不懂的生日，"
                        "--notify 以桌面通知提醒 3 天内的生日"),
         RunBirthdays},
        {QStringLiteral("duplicates"), QString(),
         QStringLiteral("列出可能是同一人的联系人分组及原因（同一电话、邮箱、QQ，或姓名另一写法且另有一项相同）"),
         RunDuplicates},
        {QStringLiteral("merge"), QStringLiteral("--into 编号 编号..."),
         QStringLiteral("把 duplicates 列出的联系人并入 --into 的那一个（先备份；不同的值记入其备注）"), RunMerge},
        {QStringLiteral("sync"),
         QStringLiteral("[--setup 地址 --user 用户名 [--book 地址簿]] [--dry-run] [--allow-deletes] [--conflicts] "
                        "[--take book|server 编号 [--field 字段]] [--server-password-file 文件] [--ca-file 文件] "
                        "[--allow-http]"),
         QStringLiteral(
             "与 CardDAV 服务器上的地址簿（手机同步的那个）双向同步；--setup 先设置，--conflicts 列出两边都改了的项目，"
             "--take 选择保留哪一边"),
         RunSync},
    };
    return commands;
}

QString BookHelp()
{
    QStringList lines{
        QStringLiteral("用法：tessaly-book [--db 文件] [--password-file 文件] [--gui] 命令 [参数...]"),
        QString(),
        QStringLiteral("命令："),
    };
    for (const BookCommand& command : BookCommands()) {
        const QString call = (command.name + u' ' + command.usage).trimmed();
        lines << QStringLiteral("  ") + call + QString(std::max(2, 28 - DisplayWidth(call)), u' ') + command.summary;
    }
    lines << QString() << QStringLiteral("选项：")
          << QStringLiteral("  --db 文件                     使用这个通讯录文件（默认为程序旁的 Kalvo.mdb）")
          << QStringLiteral("  --password-file 文件          从文件的第一行读取登录密码（- 表示标准输入）；")
          << QStringLiteral("                                不给时在终端上询问（不显示输入，最多三次）")
          << QStringLiteral("  --gui                         在窗口中显示报告（export 不给文件时弹出保存对话框）")
          << QStringLiteral("  --gui [--page 页] [文件...]   不给命令：登录后打开「Tessaly 通讯录工具」窗口，")
          << QStringLiteral("                                文件放入导入页预览；页为 import export find backup check")
          << QStringLiteral("                                birthdays duplicates sync print")
          << QStringLiteral("  export 文件.pdf 打印通讯录：[--style 通讯录|名片] [--category 类别] [--find 文字]")
          << QStringLiteral("                                [--columns 类别,电话,QQ,生日,地址,邮箱,备注,照片]")
          << QStringLiteral("  -h, --help                    显示本帮助") << QString()
          << QStringLiteral("读写通讯录的命令都先核对登录密码，规则与登录窗口相同（出厂密码为 480917）。") << QString()
          << QStringLiteral("退出状态：0 成功；1 失败（通讯录未改动）或密码不对；2 用法错误。");
    return lines.join(u'\n');
}

namespace {

// The value of "--name VALUE" or "--name=VALUE" at arguments[i], if a is that option.
std::optional<QString> optionValue(const QStringList& arguments, int& i, const QString& name, const QString& missing)
{
    const QString& a = arguments.at(i);
    QString value;
    if (a == name) {
        if (i + 1 >= arguments.size())
            throw UsageError(missing);
        value = arguments.at(++i);
    } else if (a.startsWith(name + u'=')) {
        value = a.mid(name.size() + 1);
    } else {
        return std::nullopt;
    }
    if (value.isEmpty())
        throw UsageError(missing);
    return value;
}

}  // namespace

SharedOptions ParseSharedOptions(const QStringList& arguments)
{
    SharedOptions parsed;
    bool options = true;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        std::optional<QString> value;
        if (options && a == QStringLiteral("--")) {
            options = false;
            parsed.rest << a;
        } else if (options && (a == QStringLiteral("--help") || a == QStringLiteral("-h"))) {
            parsed.help = true;
        } else if (options && a == QStringLiteral("--gui")) {
            parsed.gui = true;
        } else if (options
                   && (value = optionValue(arguments, i, QStringLiteral("--db"),
                                           QStringLiteral("--db 后面缺少通讯录文件名")))) {
            parsed.database = *value;
        } else if (options
                   && (value = optionValue(arguments, i, QStringLiteral("--password-file"),
                                           QStringLiteral("--password-file 后面缺少密码文件名（- 表示标准输入）")))) {
            parsed.passwordFile = *value;
        } else {
            parsed.rest << a;
        }
    }
    return parsed;
}

QString SharedOptions::book() const
{
    return database.isEmpty() ? DatabasePathFor(ExecutablePath()) : database;
}

const BookCommand* FindCommand(const QString& name)
{
    for (const BookCommand& command : BookCommands())
        if (command.name == name)
            return &command;
    return nullptr;
}

namespace {

int runCommand(const QStringList& arguments, Console& console, bool& gui)
{
    try {
        const SharedOptions parsed = ParseSharedOptions(arguments);
        gui = parsed.gui;
        if (parsed.help) {
            console.out(BookHelp());
            return ExitCode::Success;
        }
        if (parsed.rest.isEmpty())
            throw UsageError(QStringLiteral("缺少命令"));
        const BookCommand* command = FindCommand(parsed.rest.first());
        if (!command)
            throw UsageError(QStringLiteral("未知的命令：%1").arg(parsed.rest.first()));
        BookRun run{console, parsed.book(), parsed.gui, parsed.passwordFile, std::nullopt};
        return command->run(run, parsed.rest.mid(1));
    } catch (const UsageError& e) {
        console.err(QStringLiteral("tessaly-book：%1").arg(e.Message));
        console.err(QStringLiteral("用法见 tessaly-book --help"));
        return ExitCode::Usage;
    } catch (const PasswordRefused& e) {
        console.err(e.Message);
        return ExitCode::Failure;
    } catch (const Exception& e) {
        console.err(QStringLiteral("错误：%1").arg(e.Message));
    } catch (const std::bad_alloc&) {
        console.err(QStringLiteral("错误：内存不足"));
    }
    console.err(QStringLiteral("通讯录未改动。"));
    return ExitCode::Failure;
}

}  // namespace

bool WantsGui(const QStringList& arguments)
{
    const qsizetype end = arguments.indexOf(QStringLiteral("--"));
    return arguments.mid(0, end < 0 ? arguments.size() : end).contains(QStringLiteral("--gui"));
}

bool PaintsPages(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("export"))
           && std::any_of(arguments.begin(), arguments.end(), [](const QString& a) { return IsPrintTarget(a); });
}

int RunBook(const QStringList& arguments, Console& console)
{
    bool gui = false;
    if (!WantsGui(arguments))
        return runCommand(arguments, console, gui);
    CapturingConsole captured(&console);
    const int status = runCommand(arguments, captured, gui);
    ShowReport(arguments, captured.allLines, status);
    return status;
}
