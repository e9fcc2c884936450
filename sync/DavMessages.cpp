#include "sync/DavMessages.h"

namespace {

QString HostAndPort(const QUrl& url)
{
    const int port = url.port(url.scheme().toLower() == QLatin1String("https") ? 443 : 80);
    return QStringLiteral("%1:%2").arg(url.host()).arg(port);
}

// A certificate's fault as the person can act on it; Qt's own words for the rest.
QString CertificateFault(const QSslError& error)
{
    switch (error.error()) {
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
        return QStringLiteral("证书不是公认的机构签发的（服务器用自己的证书时，请给出它的证书文件）");
    case QSslError::HostNameMismatch: return QStringLiteral("证书上的名字和服务器地址不符");
    case QSslError::CertificateExpired: return QStringLiteral("证书已过期");
    case QSslError::CertificateNotYetValid: return QStringLiteral("证书还没到生效日期（请看看本机的时钟）");
    case QSslError::CertificateRevoked: return QStringLiteral("证书已被吊销");
    default: return error.errorString();
    }
}

QString StatusMeaning(int status)
{
    switch (status) {
    case 400: return QStringLiteral("请求不被接受");
    case 403: return QStringLiteral("不允许这个用户访问");
    case 404: return QStringLiteral("找不到");
    case 405: return QStringLiteral("不允许这个操作");
    case 409: return QStringLiteral("冲突");
    case 412: return QStringLiteral("已被别处改动");
    case 413: return QStringLiteral("内容太大");
    case 415: return QStringLiteral("不接受这种格式");
    case 500: return QStringLiteral("服务器内部出错");
    case 502:
    case 503:
    case 504: return QStringLiteral("服务器暂时不可用");
    case 507: return QStringLiteral("服务器空间不够");
    default: return {};
    }
}

}  // namespace

namespace DavMessages {

QString ShownUrl(const QUrl& url)
{
    return url.toDisplayString(QUrl::RemoveUserInfo);
}

QString UnreadableCaFile(const QString& path)
{
    return QStringLiteral("读不了证书文件 %1（要一个 PEM 或 DER 格式的证书）").arg(path);
}

QString ConnectionRefused(const QUrl& url)
{
    return QStringLiteral("连不上服务器 %1：连接被拒绝（地址或端口不对，或者服务器没有运行）").arg(HostAndPort(url));
}

QString HostNotFound(const QUrl& url)
{
    return QStringLiteral("找不到服务器 %1（地址写错了，或者没有联网）").arg(url.host());
}

QString CertificateRefused(const QUrl& url, const QList<QSslError>& errors)
{
    QStringList faults;
    for (const QSslError& error : errors)
        if (!faults.contains(CertificateFault(error)))
            faults << CertificateFault(error);
    if (faults.isEmpty())
        faults << QStringLiteral("加密连接没有建立起来");
    return QStringLiteral("服务器 %1 的证书不可信：%2").arg(HostAndPort(url), faults.join(QStringLiteral("；")));
}

QString ConnectionFailed(const QUrl& url, const QString& detail)
{
    return QStringLiteral("和服务器 %1 的连接出错：%2").arg(HostAndPort(url), detail);
}

QString NoAnswer(const QUrl& url, int waitedMs)
{
    return QStringLiteral("服务器没有应答（等了 %1 秒）：%2").arg(QString::number(waitedMs / 1000.0), ShownUrl(url));
}

QString NotHttp(const QUrl& url)
{
    return QStringLiteral("服务器地址要以 https:// 开头：%1").arg(ShownUrl(url));
}

QString PlainHttp(const QUrl& url)
{
    return QStringLiteral("不加密的 http 只用于本机：发往 %1 的用户名、密码和联系人别人都看得到。请用 https，"
                          "或者明确允许不加密的连接")
        .arg(url.host());
}

QString RedirectToHttp(const QUrl& from, const QUrl& to)
{
    return QStringLiteral("服务器把加密的 %1 转到了不加密的 %2，没有跟过去").arg(ShownUrl(from), ShownUrl(to));
}

QString TooManyRedirects(const QUrl& url, int most)
{
    return QStringLiteral("服务器转了 %1 次还没到地方：%2").arg(most).arg(ShownUrl(url));
}

QString LoginNeeded(const QUrl& url)
{
    return QStringLiteral("服务器要求用户名和密码：%1").arg(ShownUrl(url));
}

QString LoginRefused(const QUrl& url)
{
    return QStringLiteral("服务器拒绝了用户名或密码：%1").arg(ShownUrl(url));
}

QString UnexpectedStatus(QByteArrayView method, const QUrl& url, int status)
{
    const QString meaning = StatusMeaning(status);
    return QStringLiteral("服务器回答 %1%2：%3 %4")
        .arg(QString::number(status), meaning.isEmpty() ? QString() : QStringLiteral("（%1）").arg(meaning),
             QString::fromLatin1(method), ShownUrl(url));
}

QString UnreadableAnswer(const QUrl& url, const QString& detail)
{
    return QStringLiteral("读不懂服务器的回答（%1）：%2").arg(ShownUrl(url), detail);
}

QString EndlessListing(const QUrl& book)
{
    return QStringLiteral("服务器分批列出改动时没有往前走：%1").arg(ShownUrl(book));
}

}  // namespace DavMessages
