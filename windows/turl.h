#pragma once
// TURL: a web link as the windows keep it, an address and the kind of link it is.
// Opening it puts the kind's scheme in front of the address and hands the result
// to the desktop (the browser, the mail program, the file manager).
#include <QString>

class TURL
{
public:
    // In this order; the scheme texts of prefix() follow it.
    enum URLType { utFile, utFtp, utGopher, utHttp, utHttps, utMailto, utNews, utTelnet, utWais, utnone };

    TURL() = default;
    TURL(URLType type, const QString &url) : m_url(url), m_type(type) {}

    QString URL() const { return m_url; }
    void setURL(const QString &url) { m_url = url; }
    URLType urlType() const { return m_type; }
    void setURLType(URLType type) { m_type = type; }

    // "file://", "ftp://", "gopher://", "http://", "https://", "mailto:", "news:",
    // "telnet:", "wais:"; empty for utnone.
    static QString prefix(URLType type);
    // The address the desktop is asked to open: prefix + URL.
    QString address() const;
    // Does nothing and returns false while URL is empty; otherwise asks the desktop
    // to open address() and returns whether it could.
    bool open() const;

private:
    QString m_url;
    URLType m_type = utHttp;
};
