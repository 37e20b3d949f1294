#include "turl.h"

#include <QDesktopServices>
#include <QUrl>

QString TURL::prefix(URLType type)
{
    switch (type) {
    case utFile: return QStringLiteral("file://");
    case utFtp: return QStringLiteral("ftp://");
    case utGopher: return QStringLiteral("gopher://");
    case utHttp: return QStringLiteral("http://");
    case utHttps: return QStringLiteral("https://");
    case utMailto: return QStringLiteral("mailto:");
    case utNews: return QStringLiteral("news:");
    case utTelnet: return QStringLiteral("telnet:");
    case utWais: return QStringLiteral("wais:");
    case utnone: break;
    }
    return {};
}

QString TURL::address() const
{
    return prefix(m_type) + m_url;
}

bool TURL::open() const
{
    if (m_url.isEmpty())
        return false;
    const QUrl url(address());
    return url.isValid() && QDesktopServices::openUrl(url);
}
