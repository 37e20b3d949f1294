// Tchat: building the window, its board panel, seat list, score panel, chat
// widgets and menus. What the widgets do lives in session.cpp and chat.cpp.
#include "tchat.h"

#include "chattext.h"
#include "computerseats.h"
#include "errorreport.h"
#include "helpkit.h"
#include "look.h"
#include "platform.h"
#include "settingsmodel.h"
#include "tgamestart.h"
#include "tspylist.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTextEdit>
#include <QToolButton>

#include <ctime>

namespace {

using namespace vexlo;

constexpr int kSeatTops[7] = {0, 368, 389, 410, 432, 453, 474};
constexpr int kEyesTops[7] = {0, 366, 387, 409, 430, 452, 473};
constexpr int kPhraseTops[10] = {0, 320, 340, 361, 381, 402, 422, 443, 463, 484};
const char *const kPhrases[10] = {nullptr,        "Way To Go!", "Good One!",
                                  "Nice Try!",    "Excellent!", "Brilliant!",
                                  "Wow, WTG!",    "Thanks!",    "Way To Go Teamie!",
                                  "Good Game Everyone!"};
const char *const kSeatHints[7] = {nullptr, "", "Klot", "Klick", "Kling", "Klick", "Krazy"};

// The board panel: the tiled background with the frames the board's parts sit in.
class BoardPanel : public QWidget
{
public:
    explicit BoardPanel(QWidget *parent) : QWidget(parent) { look::applyBackground(this); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor frame(255, 218, 176, 70);
        const QColor well(0, 0, 0, 60);
        auto box = [&](const QRectF &r, qreal radius) {
            p.setPen(QPen(frame, 1));
            p.setBrush(well);
            p.drawRoundedRect(r, radius, radius);
        };
        box(QRectF(3.5, 3.5, 756, 270), 10); // the board: pattern and answer rows
        box(QRectF(5.5, 364.5, 240, 131), 8); // the seat list
        // The places of the two rows of five letter tiles.
        p.setPen(QPen(QColor(255, 218, 176, 40), 1));
        p.setBrush(QColor(255, 255, 255, 14));
        for (int row : {80, 168})
            for (int i = 0; i < 5; ++i)
                p.drawRoundedRect(QRectF(268.5 + 48 * i, row + 0.5, 43, 43), 5, 5);
    }
};

QLabel *label(QWidget *parent, const QString &name, const QString &text, QRect geometry,
              const QFont &font)
{
    auto *l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText); // names come from other players
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setFont(font);
    return l;
}

QString numbered(const char *prefix, int i)
{
    return QLatin1String(prefix) + QString::number(i);
}

} // namespace

Tchat::Tchat(const QStringList &args, QWidget *parent)
    : QMainWindow(parent), m_args(args), m_framer(4096), m_sounds(std::make_unique<EffectPlayer>())
{
    Q_INIT_RESOURCE(sounds);
    setObjectName(QStringLiteral("chat"));
    setWindowTitle(QStringLiteral("Vexlo"));
    gameport = platform::gamePort();
    settingsSession = std::make_unique<SettingsSession>(settingsFilePath(platform::dataFolder()));
    buildMenus();
    buildBoard();
    wireSockets();
    wireComputerPlayers();
    FormCreate();
}

Tchat::~Tchat()
{
    // Handlers must not reach a half-destroyed window.
    sock.OnRead = nullptr;
    sock.OnInfo = nullptr;
}

void Tchat::attachWindows(Tspylist *spy, Tgamestart *start, TServer *gameServer)
{
    spylist = spy;
    gamestart = start;
    server = gameServer;
    if (spylist)
        spylist->kicking = [this](int slot) { kicking(slot); };
    if (gamestart) {
        gamestart->startername = [this] { return toWireText(myname); };
        gamestart->send = [this](const QByteArray &text) { send(text); };
        gamestart->saveSettings = [this] { saveinifile(); };
    }
}

void Tchat::FormCreate()
{
    phrasegate = true;
    systemcolour = clBlue;
    seatcount = 6;
    clearall();
    // The server's word choice draws from the process's generator.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    ishost = false;
    inputowner = 0;
}

void Tchat::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto item = [this](QMenu *menu, const char *name, const QString &text, auto handler) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [this, handler] { vexlo::guarded([&] { (this->*handler)(); }); });
        return a;
    };
    // A check item whose handler decides its mark: the automatic flip is undone first.
    auto checkItem = [this](QMenu *menu, const char *name, const QString &text, auto handler) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, a, handler](bool on) {
            a->setChecked(!on);
            vexlo::guarded([&] { (this->*handler)(); });
        });
        return a;
    };

    QMenu *file = bar->addMenu(QStringLiteral("File"));
    StartGame1 = item(file, "StartGame1", QStringLiteral("Start Game"), &Tchat::button_startClick);
    StartGame1->setEnabled(false);
    AddComputerPlayer1 = item(file, "AddComputerPlayer1", QStringLiteral("Add Computer Player"),
                              &Tchat::AddComputerPlayer1Click);
    AddComputerPlayer1->setEnabled(false);
    file->addSeparator();
    Exit1 = item(file, "Exit1", QStringLiteral("Exit"), &Tchat::Exit1Click);

    QMenu *options = bar->addMenu(QStringLiteral("Options"));
    PlaySounds1 = checkItem(options, "PlaySounds1", QStringLiteral("Play Sounds"), &Tchat::PlaySounds1Click);
    PlaySounds1->setChecked(true);
    PlayChatterSounds1 = checkItem(options, "PlayChatterSounds1", QStringLiteral("Play Chatter Sounds"),
                                   &Tchat::PlayChatterSounds1Click);
    TurnSound1 = options->addMenu(QStringLiteral("Turn Sound"));
    TurnSound1->setObjectName(QStringLiteral("TurnSound1"));
    auto *turnGroup = new QActionGroup(this);
    int turnTag = 0;
    for (const char *n : {"Classic", "New"}) {
        QAction *a = TurnSound1->addAction(QLatin1String(n));
        a->setObjectName(QLatin1String(n) + QStringLiteral("1"));
        a->setCheckable(true);
        a->setActionGroup(turnGroup);
        a->setData(turnTag);
        connect(a, &QAction::triggered, this, [this, tag = turnTag] { vexlo::guarded([&] { Classic1Click(tag); }); });
        ++turnTag;
    }
    turnGroup->actions().constFirst()->setChecked(true);
    BotSpeed1 = options->addMenu(QStringLiteral("Bot Speed"));
    BotSpeed1->setObjectName(QStringLiteral("BotSpeed1"));
    auto *speedGroup = new QActionGroup(this);
    const std::pair<const char *, int> speeds[] = {{"Slow", 2000}, {"Normal", 1000}, {"Fast", 500}};
    for (const auto &[n, tag] : speeds) {
        QAction *a = BotSpeed1->addAction(QLatin1String(n));
        a->setObjectName(QLatin1String(n) + QStringLiteral("1"));
        a->setCheckable(true);
        a->setActionGroup(speedGroup);
        a->setData(tag);
        a->setChecked(tag == 1000);
        connect(a, &QAction::triggered, this, [this, tag = tag] { vexlo::guarded([&] { Fast1Click(tag); }); });
    }
    options->addSeparator();
    AutoErase1 = checkItem(options, "AutoEraseInvalidWord1", QStringLiteral("Auto Erase Invalid Word"),
                           &Tchat::autoeraseClick);
    AutoErase1->setChecked(autoEraseInvalid);
    options->addSeparator();
    TextColor1 = item(options, "TextColor1", QStringLiteral("Text Color"), &Tchat::TextColor1Click);
    ActionColor1 = item(options, "ActionColor1", QStringLiteral("Action Color"), &Tchat::ActionColor1Click);
    TextSize1 = options->addMenu(QStringLiteral("Text Size"));
    TextSize1->setObjectName(QStringLiteral("TextSize1"));
    for (int size : {8, 10, 12, 14}) {
        QAction *a = TextSize1->addAction(QString::number(size));
        a->setObjectName(numbered("N", size));
        a->setData(size); // its tag
        a->setCheckable(true);
        // Choosing a size moves no check mark; only loading the settings sets one.
        connect(a, &QAction::triggered, this, [this, a, size](bool on) {
            a->setChecked(!on);
            vexlo::guarded([&] { N14Click(size); });
        });
    }
    ScrollChatOff1 = checkItem(options, "ScrollChatOff1", QStringLiteral("Scroll Chat Off"),
                               &Tchat::ScrollChatOff1Click);
    ScrollChatOff1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    ClearMainChat1 = item(options, "ClearMainChat1", QStringLiteral("Clear Main Chat"),
                          &Tchat::ClearMainChat1Click);
    ResetScreenLocation1 = item(options, "ResetScreenLocation1", QStringLiteral("Reset Screen Location"),
                                &Tchat::ResetScreenLocation1Click);
    options->addSeparator();
    // Its check mark changes only when the server says so.
    JustWatch1 = checkItem(options, "JustWatch1", QStringLiteral("Just Watch"), &Tchat::JustWatch1Click);

    grouptilesitem = bar->addMenu(QStringLiteral("Tiles"));
    grouptilesitem->setObjectName(QStringLiteral("grouptilesitem"));

    QMenu *view = bar->addMenu(QStringLiteral("View"));
    ViewTally1 = item(view, "ViewTally1", QStringLiteral("View Tally"), &Tchat::ViewTally1Click);
    SpyList1 = view->addAction(QStringLiteral("Spy List"));
    SpyList1->setObjectName(QStringLiteral("SpyList1"));
    connect(SpyList1, &QAction::triggered, this, [this] {
        if (spylist)
            spylist->show();
    });
    PhraseList1 = item(view, "PhraseList1", QStringLiteral("Phrase List"), &Tchat::PrhaseList1Click);

    QMenu *help = bar->addMenu(QStringLiteral("Help"));
    Help2 = item(help, "Help2", QStringLiteral("Content"), &Tchat::Help2Click);
    Help2->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator();
    About1 = item(help, "About1", QStringLiteral("About"), &Tchat::About1Click);

    // The seat pop-up.
    popup_kick = new QMenu(this);
    popup_kick->setObjectName(QStringLiteral("popup_kick"));
    RemoveFromGame1 = item(popup_kick, "RemoveFromGame1", QStringLiteral("Remove From Game"),
                           &Tchat::RemoveFromGame1Click);
    SettoJustWatch1 = item(popup_kick, "SettoJustWatch1", QStringLiteral("Set to Just Watch"),
                           &Tchat::SettoJustWatch1Click);
    UnsetJustWatch1 = item(popup_kick, "UnsetJustWatch1", QStringLiteral("Unset Just Watch"),
                           &Tchat::UnsetJustWatch1Click);
}

void Tchat::buildBoard()
{
    auto *central = new QWidget(this);
    look::applyBackground(central);
    central->setMinimumSize(768, 533);
    setCentralWidget(central);
    panel_board = new BoardPanel(central);
    panel_board->setObjectName(QStringLiteral("panel_board"));
    panel_board->setGeometry(2, 2, 764, 529);
    resize(768, 533 + menuBar()->sizeHint().height());

    label_roundnum = label(panel_board, QStringLiteral("label_roundnum"), QStringLiteral("Round: 0 of 0"),
                           QRect(64, 22, 171, 22), look::arial(19));
    label_status = label(panel_board, QStringLiteral("label_status"),
                         QStringLiteral("Welcome to Vexlo by Quorbit Software"), QRect(63, 280, 650, 16),
                         look::arial(13, true));
    label_status->setAlignment(Qt::AlignCenter);

    button_start = new QPushButton(panel_board);
    button_start->setObjectName(QStringLiteral("button_start"));
    button_start->setGeometry(30, 323, 197, 43);
    button_start->setIcon(look::startButtonPicture(QStringLiteral("START GAME"), QSize(197, 43)));
    button_start->setIconSize(QSize(197, 43));
    button_start->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"));
    button_start->setCursor(Qt::PointingHandCursor);
    button_start->setFocusPolicy(Qt::NoFocus);
    button_start->hide();
    connect(button_start, &QPushButton::clicked, this, [this] { vexlo::guarded([this] { button_startClick(); }); });

    // The logo opens the maker's web site.
    vexlo::initHelpResources();
    auto *logo = new vexlo::ClickLabel(panel_board);
    logo->setObjectName(QStringLiteral("image_logo"));
    logo->setGeometry(700, 12, 48, 48);
    logo->setPixmap(QPixmap(QStringLiteral(":/helpwindows/vexlo-48.png")));
    logo->setCursor(Qt::PointingHandCursor);
    logo->setToolTip(QStringLiteral("Quorbit Software"));
    connect(logo, &vexlo::ClickLabel::clicked, this, [this] { vexlo::guarded([this] { image_logoClick(); }); });
    image_logo = logo;

    buildSeatList();
    buildScorePanel();
    buildChat();
    buildWordEntry();
    buildRoundDisplay(); // the score and winner panels lie over the board
}

void Tchat::buildSeatList()
{
    const QPixmap eyes = look::eyesPicture();
    for (int i = 1; i <= 6; ++i) {
        QLabel *name = label(panel_board, numbered("label_playername", i), QStringLiteral("<Waiting>"),
                             QRect(20, kSeatTops[i], 100, 16), look::arial(13));
        name->setProperty("tag", i);
        name->setProperty("hint", QLatin1String(kSeatHints[i]));
        name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(name, &QWidget::customContextMenuRequested, this, [this, name](const QPoint &pos) {
            label_playername1ContextPopup(name);
            popup_kick->popup(name->mapToGlobal(pos));
        });
        QLabel *score = label(panel_board, numbered("label_score", i), QStringLiteral("0"),
                              QRect(122, kSeatTops[i], 60, 16), look::arial(13));
        score->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        score->hide();
        QLabel *words = label(panel_board, numbered("label_words", i), QString(),
                              QRect(186, kSeatTops[i], 50, 16), look::arial(13));
        words->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QLabel *eye = label(panel_board, numbered("image_eyes", i), QString(), QRect(10, kEyesTops[i], 21, 10),
                            look::arial(8));
        eye->setPixmap(eyes);
        eye->hide();
    }
}

void Tchat::buildScorePanel()
{
    panel_scores = new QWidget(panel_board);
    panel_scores->setObjectName(QStringLiteral("panel_scores"));
    panel_scores->setGeometry(4, 1, 757, 315);
    look::applyBackground(panel_scores);
    panel_scores->hide();

    auto popupOn = [this](QLabel *l) {
        l->setProperty("tag", 1);
        l->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(l, &QWidget::customContextMenuRequested, this, [this, l](const QPoint &pos) {
            label_playername1ContextPopup(l);
            popup_kick->popup(l->mapToGlobal(pos));
        });
    };
    const QString listStyle = QStringLiteral("QListWidget { background: %1; color: black; }").arg(look::peach().name());
    auto list = [&](const QString &name, QPoint at) {
        auto *l = new QListWidget(panel_scores);
        l->setObjectName(name);
        l->setGeometry(at.x(), at.y(), 93, 228);
        l->setFont(look::arial(19));
        l->setStyleSheet(listStyle);
        return l;
    };
    label_original = label(panel_scores, QStringLiteral("label_original"), QStringLiteral("Original Words"),
                           QRect(16, 22, 110, 18), look::arial(13, true));
    popupOn(label_original);
    listbox_original = list(QStringLiteral("listbox_original"), {17, 43});
    label_scoreround = label(panel_scores, QStringLiteral("label_scoreround"), QString(), QRect(16, 278, 110, 20),
                             look::arial(13, true));
    popupOn(label_scoreround);

    constexpr int nameLeft[7] = {0, 134, 236, 337, 439, 540, 642};
    constexpr int scoreLeft[7] = {0, 133, 235, 336, 438, 539, 641};
    constexpr int listLeft[7] = {0, 138, 240, 341, 443, 544, 646};
    constexpr int fastLeft[7] = {0, 139, 241, 343, 446, 548, 650};
    constexpr int bonusLeft[7] = {0, 154, 256, 359, 462, 562, 665};
    for (int i = 1; i <= 6; ++i) {
        QLabel *name = label(panel_scores, numbered("label_name", i), QString(), QRect(nameLeft[i], 6, 95, 16),
                             look::arial(13, true));
        QPalette pal = name->palette();
        pal.setColor(QPalette::WindowText, QColor(168, 0, 0));
        name->setPalette(pal);
        popupOn(name);
        popupOn(label(panel_scores, numbered("label_ascore", i), QString(), QRect(scoreLeft[i], 23, 95, 16),
                      look::arial(13, true)));
        list(numbered("listbox_player", i), {listLeft[i], 43});
        label(panel_scores, numbered("image_fastest", i), QString(), QRect(fastLeft[i], 275, 16, 16), look::arial(8))
            ->hide();
        label(panel_scores, numbered("image_bonus", i), QString(), QRect(bonusLeft[i], 283, 55, 17), look::arial(8))
            ->hide();
    }
}

void Tchat::buildChat()
{
    const QString peach = look::peach().name();
    mainchat = new QTextEdit(panel_board);
    mainchat->setObjectName(QStringLiteral("mainchat"));
    mainchat->setGeometry(285, 320, 476, 183);
    mainchat->setReadOnly(true);
    mainchat->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    mainchat->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont chatFont = QApplication::font(); // the desktop's own sans font
    chatFont.setPixelSize(11);
    mainchat->setFont(chatFont);
    mainchat->document()->setDocumentMargin(5);
    mainchat->setStyleSheet(QStringLiteral("QTextEdit { background: %1; color: black; border: 1px solid #6a4a2a; }"
                                           "QTextEdit { selection-background-color: #3a66b0; selection-color: white; }")
                                .arg(peach));
    mainchat->viewport()->setMouseTracking(true);
    mainchat->viewport()->installEventFilter(this);
    mainchat->installEventFilter(this);
    mainchat->setContextMenuPolicy(Qt::CustomContextMenu);
    popup_mainchat = new QMenu(this);
    popup_mainchat->setObjectName(QStringLiteral("popup_mainchat"));
    Copy1 = popup_mainchat->addAction(QStringLiteral("Copy\tCtrl+C"));
    Copy1->setObjectName(QStringLiteral("Copy1"));
    connect(Copy1, &QAction::triggered, this, [this] { Copy1Click(); });
    ClearMainChat2 = popup_mainchat->addAction(QStringLiteral("Clear Main Chat"));
    ClearMainChat2->setObjectName(QStringLiteral("ClearMainChat2"));
    connect(ClearMainChat2, &QAction::triggered, this, [this] { ClearMainChat1Click(); });
    popup_mainchat->addSeparator();
    ScrollChatOff2 = popup_mainchat->addAction(QStringLiteral("Scroll Chat Off\tCtrl+S"));
    ScrollChatOff2->setObjectName(QStringLiteral("ScrollChatOff2"));
    ScrollChatOff2->setCheckable(true);
    connect(ScrollChatOff2, &QAction::triggered, this, [this](bool on) {
        ScrollChatOff2->setChecked(!on); // the handler flips it
        ScrollChatOff1Click();
    });
    connect(mainchat, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { popup_mainchat->popup(mainchat->mapToGlobal(pos)); });

    mychat = new QLineEdit(panel_board);
    mychat->setObjectName(QStringLiteral("mychat"));
    mychat->setGeometry(285, 504, 356, 22);
    mychat->setFont(look::arial(13));
    mychat->setText(QStringLiteral("<Enter Chat Here>"));
    mychat->setStyleSheet(QStringLiteral("QLineEdit { background: %1; border: 1px solid #6a4a2a; padding: 0 3px; }")
                              .arg(peach));
    mychat->installEventFilter(this);
    mychat->setContextMenuPolicy(Qt::CustomContextMenu);
    popup_mychat = new QMenu(this);
    popup_mychat->setObjectName(QStringLiteral("popup_mychat"));
    Paste1 = popup_mychat->addAction(QStringLiteral("Paste\tCtrl+V"));
    Paste1->setObjectName(QStringLiteral("Paste1"));
    connect(Paste1, &QAction::triggered, this, [this] { Paste1Click(); });
    connect(mychat, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { popup_mychat->popup(mychat->mapToGlobal(pos)); });
    setTabOrder(mychat, mainchat);
    mychat->setFocus();

    const QPixmap bubble = look::phrasePicture();
    for (int i = 1; i <= 9; ++i) {
        auto *b = new QToolButton(panel_board);
        b->setObjectName(numbered("b_phrase", i));
        b->setGeometry(257, kPhraseTops[i], 27, 21);
        b->setIcon(bubble);
        b->setIconSize(bubble.size());
        b->setToolTip(QLatin1String(kPhrases[i])); // the hint is the phrase
        look::makeFlat(b, Qt::white);
        connect(b, &QToolButton::clicked, this, [this, i] { vexlo::guarded([&] { b_phrase1Click(i); }); });
        b_phrase[static_cast<size_t>(i)] = b;
    }
    auto *soundButton = new QToolButton(panel_board);
    soundButton->setObjectName(QStringLiteral("b_phrase10"));
    soundButton->setGeometry(257, 504, 27, 21);
    soundButton->setIcon(look::soundPicture());
    soundButton->setIconSize(QSize(19, 15));
    soundButton->setToolTip(QStringLiteral("/me waves \"Good-Bye\""));
    look::makeFlat(soundButton, QColor(128, 0, 0));
    connect(soundButton, &QToolButton::clicked, this, [this] { b_phrase10Click(); });
    b_phrase[0] = soundButton;

    static const char *const titles[13] = {"<Cancel>", "Doh",    "Cough",   "Hello",   "Thank You",
                                           "Where have you been?", "Snoring", "Sneezing", "Sorry",
                                           "Welcome",  "Yeehaa", "Yippee",  "Oh No"};
    popup_sounds = new QMenu(this);
    popup_sounds->setObjectName(QStringLiteral("popup_sounds"));
    for (int tag = 0; tag <= 12; ++tag) {
        QAction *a = popup_sounds->addAction(QLatin1String(titles[tag]));
        a->setObjectName(tag == 0 ? QStringLiteral("Cancel1") : numbered("wave", tag));
        a->setData(tag);
        a->setToolTip(QLatin1String(titles[tag])); // the hint
        connect(a, &QAction::triggered, this, [this, tag] { vexlo::guarded([&] { wave12Click(tag); }); });
    }
}

void Tchat::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // After the window is on screen, as the message loop would.
        QTimer::singleShot(0, this, [this] { vexlo::guarded([this] { FormShow(); }); });
    }
}

void Tchat::closeEvent(QCloseEvent *event)
{
    if (!m_closing && !FormClose()) {
        event->ignore(); // the settings could not be written: the window stays
        return;
    }
    QMainWindow::closeEvent(event);
    if (!m_closing) {
        m_closing = true;
        Timer1.stop();
        receivedlist.clear();
        computerSeats->endSession();
        Q_EMIT closed();
    }
}

bool Tchat::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mychat && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (mychatKeyDown(key->key(), key->modifiers()))
            return true;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            mychatKeyPress(QChar(13));
            return true;
        }
    } else if (watched == mainchat && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Copy)) {
            Copy1Click();
            return true;
        }
    } else if (watched == mainchat->viewport()) {
        switch (event->type()) {
        case QEvent::MouseMove:
            mainchatMouseMove(static_cast<QMouseEvent *>(event)->position().toPoint());
            break;
        case QEvent::MouseButtonPress: {
            auto *m = static_cast<QMouseEvent *>(event);
            if (mainchatMouseDown(m->button(), m->position().toPoint()))
                return true; // the link stays selected
            break;
        }
        case QEvent::MouseButtonRelease:
            QTimer::singleShot(0, this, [this] { mainchatMouseUp(); });
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
