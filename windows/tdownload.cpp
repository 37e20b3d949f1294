#include "tdownload.h"

#include "errorreport.h"
#include "helpkit.h"
#include "platform.h"

#include <QAccessibleWidget>
#include <QCryptographicHash>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMetaMethod>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

namespace {

const QString InstallerName = QStringLiteral("qslsetup.exe");

// A label with the window's word-wrapped text, shown as it stands.
QLabel *textLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

// A screen reader sees the window's three panels as groups inside the dialog,
// not as windows of their own (a frame's usual role).
QAccessibleInterface *panelFace(const QString &className, QObject *object)
{
    if (className != QLatin1String("QFrame") || !object->objectName().startsWith(QLatin1String("panel_"))
        || !qobject_cast<Tdownload *>(object->parent()))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Grouping);
}

QFrame *panel(const QString &name, QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    return frame;
}

// The installer's file name: the last piece of the address's path. An address
// that names no file (it ends in "/", or its last piece is "." or "..") is saved
// under the usual name, so the download can never land outside the data folder.
QString installerName(const QString &url)
{
    const QString name = QUrl(url).fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name.contains(QLatin1Char('/')) || name.contains(QChar(0)))
        return InstallerName;
    return name;
}

QNetworkRequest lobbyRequest(const QString &url)
{
    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Mozilla/3.0 (compatible)"));
    request.setRawHeader("Accept", "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    return request;
}

// The hex SHA-256 of a file, lower case; empty when it cannot be read.
QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result().toHex();
}

// A published digest file is one line; anything longer is not one.
constexpr qint64 kMaxDigestBytes = 4096;

} // namespace

Tdownload::Tdownload(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_url(lobbyUrl())
{
    setObjectName(QStringLiteral("download"));
    QAccessible::installFactory(panelFace); // once is enough
    setWindowTitle(QStringLiteral("Download The Quorbit Lobby"));
    HttpCli1.setObjectName(QStringLiteral("HttpCli1"));
    HttpCli1.setProxy(QNetworkProxy::NoProxy);
    buildWindow();
}

Tdownload::~Tdownload()
{
    // The program is ending during a download: drop the transfer quietly.
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void Tdownload::buildWindow()
{
    vexlo::initHelpResources();

    // Left: the offer, the download buttons and the two status lines.
    QFrame *left = panel(QStringLiteral("panel_download"), this);
    auto *picture = new QLabel(left);
    picture->setObjectName(QStringLiteral("image_lobby"));
    picture->setPixmap(QPixmap(QStringLiteral(":/helpwindows/lobby.png")));
    picture->setAlignment(Qt::AlignCenter);
    auto *closed = new QLabel(QStringLiteral("IS CLOSED"), picture);
    closed->setObjectName(QStringLiteral("label_closed"));
    closed->setAlignment(Qt::AlignCenter);
    closed->setStyleSheet(QStringLiteral(
        "QLabel { color: white; background: #c8102e; font: bold 16px 'Liberation Sans';"
        " border: 2px solid white; padding: 1px 10px; }"));
    closed->adjustSize();
    const QSize pic = picture->pixmap().size();
    picture->setFixedSize(pic);
    closed->move((pic.width() - closed->width()) / 2, pic.height() - closed->height() - 8);

    getbutton = new QPushButton(QStringLiteral("Download And Install The Quorbit Lobby Now"), left);
    getbutton->setObjectName(QStringLiteral("getbutton"));
    abortbutton = new QPushButton(QStringLiteral("Stop Download"), left);
    abortbutton->setObjectName(QStringLiteral("abortbutton"));
    infolabel = textLabel(QStringLiteral("infolabel"), {}, left);
    infolabel2 = textLabel(QStringLiteral("infolabel2"), {}, left);
    infolabel2->hide();
    infolabel3 = textLabel(QStringLiteral("infolabel3"), {}, left);
    for (QLabel *status : {infolabel, infolabel3}) {
        status->setMinimumHeight(status->fontMetrics().height() + 4);
        status->setAlignment(Qt::AlignCenter);
    }
    QFont bold = infolabel->font();
    bold.setBold(true);
    infolabel->setFont(bold);

    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->addWidget(picture, 0, Qt::AlignHCenter);
    leftLayout->addWidget(textLabel(QStringLiteral("label_offer"),
        QStringLiteral("Download The Quorbit Lobby Now to play this  and other exciting games online "
                       "with other players!"), left));
    leftLayout->addWidget(getbutton);
    leftLayout->addWidget(abortbutton);
    leftLayout->addWidget(infolabel);
    leftLayout->addWidget(infolabel3);
    leftLayout->addWidget(infolabel2);
    leftLayout->addStretch();

    // Upper right: playing solo.
    QFrame *solo = panel(QStringLiteral("panel_solo"), this);
    Button1 = new QPushButton(QStringLiteral("Play Solo Game"), solo);
    Button1->setObjectName(QStringLiteral("Button1"));
    auto *soloLayout = new QVBoxLayout(solo);
    soloLayout->addWidget(textLabel(QStringLiteral("label_solo"),
        QStringLiteral("To proceed to the game without the ability to play against others click the "
                       "button below."), solo));
    soloLayout->addWidget(Button1);
    soloLayout->addWidget(textLabel(QStringLiteral("label_firewall"),
        QStringLiteral("Note: Even if you are playing offline, you will need to configure your "
                       "FIREWALL to allow the game to access the internet components."), solo));
    soloLayout->addStretch();

    // Lower right: the installed lobby.
    QFrame *others = panel(QStringLiteral("panel_others"), this);
    Button2 = new QPushButton(QStringLiteral("Play with Others"), others);
    Button2->setObjectName(QStringLiteral("Button2"));
    auto *othersLayout = new QVBoxLayout(others);
    othersLayout->addWidget(textLabel(QStringLiteral("label_others"),
        QStringLiteral("If you already have The Quorbit Lobby and you wish to play with others then "
                       "click the button below to close this game and open The Quorbit Lobby."), others));
    othersLayout->addWidget(Button2);
    othersLayout->addStretch();

    auto *right = new QVBoxLayout;
    right->addWidget(solo);
    right->addWidget(others);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(left, 1);
    layout->addLayout(right, 1);
    left->setMinimumWidth(pic.width() + 40);
    solo->setFixedWidth(pic.width() + 40);
    others->setFixedWidth(pic.width() + 40);

    connect(getbutton, &QPushButton::clicked, this, &Tdownload::getbuttonClick);
    connect(abortbutton, &QPushButton::clicked, this, &Tdownload::abortbuttonClick);
    connect(Button1, &QPushButton::clicked, this, &Tdownload::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tdownload::Button2Click);
    // Enter presses the focused button; Escape closes the window as its close box does.
    vexlo::keyboardLikeADialog(this, [this] { close(); });
    picture->setAccessibleName(QStringLiteral("The Quorbit Lobby"));
    setFixedSize(sizeHint());
}

QString Tdownload::defaultLobbyUrl()
{
    return QStringLiteral("https://www.example.com/lobby/qslsetup.exe");
}

QString Tdownload::lobbyUrl()
{
    const QString url = qEnvironmentVariable("VEXLO_LOBBY_URL");
    return url.isEmpty() ? defaultLobbyUrl() : url;
}

QString Tdownload::dataFolder()
{
    return vexlo::platform::dataFolder();
}

QString Tdownload::lobbyProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("quorbitlobby"));
}

QStringList Tdownload::installerArguments()
{
    return {QStringLiteral("/SP-"), QStringLiteral("/silent"), QStringLiteral("/noicons")};
}

QString Tdownload::installerPath() const
{
    return QDir(dataFolder()).filePath(infolabel2->text());
}

void Tdownload::getbuttonClick()
{
    if (m_reply) // the button is disabled while a download runs
        return;
    m_state = StateStarted;
    infolabel2->setText(installerName(m_url));
    m_file.setFileName(installerPath());
    // Unbuffered, so a failing write is seen at once, not when the file closes.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        m_state = StateAborted;
        vexlo::reportError(QStringLiteral("Unable to create %1: %2").arg(m_file.fileName(), m_file.errorString()));
        return;
    }
    m_received = 0;
    m_writeError.clear();
    getbutton->setEnabled(false);
    abortbutton->setEnabled(true);
    infolabel->setText(QStringLiteral("Loading"));

    m_reply = HttpCli1.get(lobbyRequest(m_url));
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        // One mark per header line: the status line and each field.
        const qsizetype lines = 1 + m_reply->rawHeaderPairs().size();
        for (qsizetype i = 0; i < lines; ++i)
            HttpCli1HeaderData();
        HttpCli1DocBegin();
    });
    connect(m_reply, &QNetworkReply::readyRead, this, &Tdownload::HttpCli1DocData);
    connect(m_reply, &QNetworkReply::finished, this, &Tdownload::requestDone);
}

void Tdownload::HttpCli1HeaderData()
{
    infolabel->setText(infolabel->text() + QLatin1Char('.'));
}

void Tdownload::HttpCli1DocBegin()
{
    infolabel3->setText(QStringLiteral("Downloading: ") + infolabel2->text());
}

void Tdownload::HttpCli1DocData()
{
    if (!m_reply || !writeBody(m_reply->readAll()))
        return;
    infolabel->setText(QString::number(m_received) + QStringLiteral(" bytes"));
}

bool Tdownload::writeBody(const QByteArray &body)
{
    if (body.isEmpty() || !m_writeError.isEmpty())
        return m_writeError.isEmpty();
    if (m_file.write(body) == body.size()) {
        m_received += body.size();
        return true;
    }
    // A full disk or a vanished folder: stop the transfer, so a cut-off installer
    // is never run.
    m_writeError = QStringLiteral("Unable to write to %1: %2").arg(m_file.fileName(), m_file.errorString());
    if (m_reply)
        m_reply->abort();
    return false;
}

QNetworkReply *Tdownload::takeReply()
{
    QNetworkReply *reply = std::exchange(m_reply, nullptr);
    if (reply)
        reply->deleteLater();
    return reply;
}

bool Tdownload::succeeded(const QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return reply->error() == QNetworkReply::NoError && status < 400;
}

void Tdownload::requestDone()
{
    QNetworkReply *reply = takeReply();
    if (!reply)
        return;
    bool ok = succeeded(reply);
    if (ok)
        ok = writeBody(reply->readAll());
    if (ok) {
        infolabel->setText(QStringLiteral("Received ") + QString::number(m_file.size()) + QStringLiteral(" bytes"));
    } else {
        infolabel->setText(QStringLiteral("Download Aborted"));
        m_state = StateAborted;
    }

    m_file.close();
    if (!m_writeError.isEmpty())
        vexlo::reportError(m_writeError);
    // Over plain HTTP anyone on the way could have replaced the installer: it runs
    // only when it matches the digest published beside it.
    if (m_state != StateAborted && QUrl(m_url).scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0) {
        fetchDigest();
        return;
    }
    finish(true);
}

void Tdownload::fetchDigest()
{
    m_reply = HttpCli1.get(lobbyRequest(m_url + QStringLiteral(".sha256")));
    connect(m_reply, &QNetworkReply::readyRead, this, [this] {
        if (m_reply && m_reply->bytesAvailable() > kMaxDigestBytes)
            m_reply->abort();
    });
    connect(m_reply, &QNetworkReply::finished, this, &Tdownload::digestDone);
}

void Tdownload::digestDone()
{
    QNetworkReply *reply = takeReply();
    if (!reply)
        return;
    bool verified = false;
    if (succeeded(reply)) {
        // The hex digest is the first word of the file, in either letter case.
        const QByteArray published = reply->readAll().simplified().split(' ').value(0).toLower();
        const QByteArray actual = fileDigest(installerPath());
        verified = !actual.isEmpty() && published == actual;
    }
    finish(verified);
}

void Tdownload::finish(bool verified)
{
    getbutton->setEnabled(true);
    abortbutton->setEnabled(false);
    if (m_state == StateAborted)
        return;
    if (!verified) {
        // The file stays for the player to check; nothing is run.
        m_state = StateAborted;
        infolabel3->setText(QStringLiteral("The download could not be verified."));
        return;
    }
    infolabel3->setText(QStringLiteral("Installing"));
    install();
}

void Tdownload::install()
{
    const QString path = installerPath();
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
    if (!QProcess::startDetached(path, installerArguments(), dataFolder())) {
        showMessage(QStringLiteral("An Error has Occurred."));
        return;
    }
    Q_EMIT exitRequested();
}

void Tdownload::abortbuttonClick()
{
    infolabel->setText(QStringLiteral("Download has been aborted."));
    m_state = StateAborted;
    infolabel3->setText(QStringLiteral("Download Aborted"));
    // A running transfer ends at once; its end sets the upper line as well.
    if (m_reply)
        m_reply->abort();
}

void Tdownload::Button1Click()
{
    close();
    Q_EMIT playSoloRequested();
}

void Tdownload::Button2Click()
{
    const QString lobby = lobbyProgram();
    if (lobby.isEmpty() && isSignalConnected(QMetaMethod::fromSignal(&Tdownload::joinRequested))) {
        close();
        Q_EMIT joinRequested();
        return;
    }
    if (lobby.isEmpty()) {
        showMessage(QStringLiteral("Please close the game and open the Quorbit Lobby using the icon on your "
                                   "desktop or using the your Window's start-up menu."));
        return;
    }
    if (!QProcess::startDetached(lobby, {})) {
        showMessage(QStringLiteral("An Error has Occurred."));
        return;
    }
    Q_EMIT exitRequested();
}

void Tdownload::showMessage(const QString &text)
{
    // Not modal: the download window and the game behind it stay usable.
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Vexlo"), text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("message"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

void Tdownload::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
}
