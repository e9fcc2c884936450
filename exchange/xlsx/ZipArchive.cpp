#include "ZipArchive.h"

#include "exchange/ContactDraft.h"
#include "exchange/FileBytes.h"

#include <zip.h>

namespace {
// A sheet of 100,000 contacts is some 30 MB of XML; a part far larger is a zip bomb.
constexpr zip_uint64_t kMaxPart = 256ull * 1024 * 1024;

struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
}  // namespace

ZipArchive::ZipArchive(const QByteArray& bytes, const QString& fileName) : fileName_(fileName)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_buffer_create(bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &error);
    if (source)
        archive_ = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!archive_) {
        zip_source_free(source);  // the archive owns the source only once it is open
        zip_error_fini(&error);
        throw ExchangeError(
            cannotReadMessage(fileName, QStringLiteral("不是 .xlsx 工作簿（无法作为 zip 压缩包打开）")));
    }
    zip_error_fini(&error);
}

ZipArchive::~ZipArchive()
{
    zip_discard(archive_);
}

bool ZipArchive::contains(const QString& name) const
{
    return zip_name_locate(archive_, name.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
}

QByteArray ZipArchive::read(const QString& name) const
{
    const zip_int64_t index = zip_name_locate(archive_, name.toUtf8().constData(), ZIP_FL_NOCASE);
    auto damaged = [&](const QString& why) {
        return ExchangeError(cannotReadMessage(fileName_, QStringLiteral("工作簿的“%1”部分%2").arg(name, why)));
    };
    if (index < 0)
        throw damaged(QStringLiteral("不存在"));
    zip_stat_t stat;
    if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) != 0)
        throw damaged(QStringLiteral("已损坏"));
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > kMaxPart)
        throw damaged(QStringLiteral("太大"));
    std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0));
    if (!file)
        throw damaged(QStringLiteral("无法解压"));
    // The stated size may lie: read in pieces and stop at the limit whatever it says.
    QByteArray out;
    if (stat.valid & ZIP_STAT_SIZE)
        out.reserve(static_cast<qsizetype>(stat.size));  // within the limit: grows once, not by doubling
    char piece[64 * 1024];
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), piece, sizeof piece);
        if (n < 0)
            throw damaged(QStringLiteral("已损坏"));
        if (n == 0)
            break;
        if (static_cast<zip_uint64_t>(out.size()) + static_cast<zip_uint64_t>(n) > kMaxPart)
            throw damaged(QStringLiteral("太大"));
        out.append(piece, static_cast<qsizetype>(n));
    }
    return out;
}
