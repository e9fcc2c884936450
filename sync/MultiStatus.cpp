#include "sync/MultiStatus.h"

#include "sync/DavMessages.h"

#include <QXmlStreamReader>

namespace {

QString ClarkName(const QXmlStreamReader& xml)
{
    return u'{' + xml.namespaceUri().toString() + u'}' + xml.name().toString();
}

// "HTTP/1.1 404 Not Found" -> 404
int StatusOf(const QString& line)
{
    const QStringList words = line.simplified().split(u' ');
    return words.size() > 1 ? words.at(1).toInt() : 0;
}

class MultiStatusReader {
public:
    explicit MultiStatusReader(const DavReply& reply) : xml_(reply.body), base_(reply.url) {}

    MultiStatus read()
    {
        MultiStatus result;
        if (!xml_.readNextStartElement() || ClarkName(xml_) != QLatin1String("{DAV:}multistatus"))
            fail(QStringLiteral("不是 multistatus"));
        while (xml_.readNextStartElement()) {
            const QString name = ClarkName(xml_);
            if (name == QLatin1String("{DAV:}response"))
                result.responses << readResponse();
            else if (name == DavName::SyncToken)
                result.syncToken = xml_.readElementText(QXmlStreamReader::IncludeChildElements).trimmed().toUtf8();
            else
                xml_.skipCurrentElement();
        }
        if (xml_.hasError())
            fail(QStringLiteral("第 %1 行：%2").arg(xml_.lineNumber()).arg(xml_.errorString()));
        return result;
    }

private:
    [[noreturn]] void fail(const QString& detail) const
    {
        throw DavError(DavError::Kind::Protocol, DavMessages::UnreadableAnswer(base_, detail));
    }

    QUrl resolved(const QString& href) const { return base_.resolved(QUrl(href.trimmed(), QUrl::TolerantMode)); }

    DavResponse readResponse()
    {
        DavResponse response;
        while (xml_.readNextStartElement()) {
            const QString name = ClarkName(xml_);
            if (name == QLatin1String("{DAV:}href"))
                response.href = resolved(xml_.readElementText());
            else if (name == QLatin1String("{DAV:}status"))
                response.status = StatusOf(xml_.readElementText());
            else if (name == QLatin1String("{DAV:}propstat"))
                readPropStat(response);
            else
                xml_.skipCurrentElement();
        }
        return response;
    }

    void readPropStat(DavResponse& response)
    {
        QHash<QString, DavProperty> properties;
        int status = 0;
        while (xml_.readNextStartElement()) {
            const QString name = ClarkName(xml_);
            if (name == QLatin1String("{DAV:}prop")) {
                while (xml_.readNextStartElement()) {
                    const QString property = ClarkName(xml_);
                    properties.insert(property, readProperty());
                }
            } else if (name == QLatin1String("{DAV:}status"))
                status = StatusOf(xml_.readElementText());
            else
                xml_.skipCurrentElement();
        }
        // A property the server could not give comes in a 404 propstat: it is not there.
        if (status >= 200 && status < 300)
            response.found.insert(properties);
    }

    DavProperty readProperty()
    {
        DavProperty property;
        QString href;
        int depth = 1;
        int hrefDepth = 0;
        while (depth > 0 && !xml_.atEnd()) {
            switch (xml_.readNext()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                property.inside << ClarkName(xml_);
                if (property.inside.last() == QLatin1String("{DAV:}href")) {
                    hrefDepth = depth;
                    href.clear();
                }
                break;
            case QXmlStreamReader::EndElement:
                if (depth == hrefDepth) {
                    property.hrefs << resolved(href);
                    hrefDepth = 0;
                }
                --depth;
                break;
            case QXmlStreamReader::Characters:
                property.text += xml_.text();
                if (hrefDepth)
                    href += xml_.text();
                break;
            default: break;
            }
        }
        property.text = property.text.trimmed();
        return property;
    }

    QXmlStreamReader xml_;
    QUrl base_;
};

int Port(const QUrl& url)
{
    return url.port(url.scheme().toLower() == QLatin1String("https") ? 443 : 80);
}

QString DecodedPath(const QUrl& url)
{
    QString path = url.path(QUrl::FullyDecoded);
    if (path.endsWith(u'/'))
        path.chop(1);
    return path;
}

}  // namespace

MultiStatus ReadMultiStatus(const DavReply& reply)
{
    return MultiStatusReader(reply).read();
}

bool BodyHoldsElement(const QByteArray& body, const QString& clarkName)
{
    QXmlStreamReader xml(body);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && ClarkName(xml) == clarkName)
            return true;
    return false;
}

bool SameResource(const QUrl& a, const QUrl& b)
{
    return a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && Port(a) == Port(b)
           && DecodedPath(a) == DecodedPath(b);
}
