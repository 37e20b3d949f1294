#pragma once
// Tdownload: the window that offers the Quorbit Lobby, through which players find
// each other on line. Shown on a solo start. From it the player downloads and runs
// the lobby's installer (fetched over HTTPS, or over HTTP and then run only when it
// matches the SHA-256 digest published at its address + ".sha256"), starts an
// installed lobby (which ends the game), or closes it and plays solo.
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QDialog>

class QLabel;
class QPushButton;

class Tdownload : public QDialog
{
    Q_OBJECT
public:
    // Download state, as kept for the status line: started and running or done,
    // or aborted / failed.
    enum { StateNone = 0, StateStarted = 1, StateAborted = 2 };

    explicit Tdownload(QWidget *parent = nullptr);
    ~Tdownload() override;

    // Where the installer comes from: $VEXLO_LOBBY_URL when set, else the default.
    static QString defaultLobbyUrl();
    static QString lobbyUrl();
    // The game's data folder ($VEXLO_HOME, else the per-user data folder), created
    // when missing (the platform's data folder). The installer is downloaded into it.
    static QString dataFolder();
    // The installed lobby: the program "quorbitlobby" on the PATH; empty when none.
    static QString lobbyProgram();
    // What the installer is started with.
    static QStringList installerArguments();

    QString URL() const { return m_url; }
    void setURL(const QString &url) { m_url = url; }
    int downloadState() const { return m_state; }
    bool downloading() const { return m_reply != nullptr; }
    // The data folder + the installer's file name (valid once a download started).
    QString installerPath() const;

public Q_SLOTS:
    void getbuttonClick();   // "Download And Install The Quorbit Lobby Now"
    void abortbuttonClick(); // "Stop Download"
    void Button1Click();     // "Play Solo Game"
    void Button2Click();     // "Play with Others"

Q_SIGNALS:
    // The installer or the lobby was started: the game should end now, through the
    // main window's exit command.
    void exitRequested();
    // "Play Solo Game" closed the window; the solo game loading behind it goes on.
    void playSoloRequested();
    // "Play with Others" with no lobby installed closed the window: the game's
    // own Join Network Game is offered instead (when something listens here).
    void joinRequested();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildWindow();
    void HttpCli1HeaderData();
    void HttpCli1DocBegin();
    void HttpCli1DocData();
    void requestDone();
    void fetchDigest();
    void digestDone();
    // The reply that just finished, no longer current (deleted later), or null.
    QNetworkReply *takeReply();
    static bool succeeded(const QNetworkReply *reply);
    // The end of a download: the buttons back, and the installer run when the
    // download went through and was verified.
    void finish(bool verified);
    void install();
    bool writeBody(const QByteArray &body);
    void showMessage(const QString &text);

    QLabel *infolabel = nullptr;  // upper status line
    QLabel *infolabel2 = nullptr; // hidden: the installer's file name
    QLabel *infolabel3 = nullptr; // lower status line
    QPushButton *getbutton = nullptr;
    QPushButton *abortbutton = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;

    QNetworkAccessManager HttpCli1;
    QPointer<QNetworkReply> m_reply;
    QFile m_file;
    QString m_url;
    QString m_writeError;
    qint64 m_received = 0;
    int m_state = StateNone;
};
