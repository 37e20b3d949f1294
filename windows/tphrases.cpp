#include "tphrases.h"

#include "errorreport.h"
#include "inifile.h"
#include "settingsmodel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace {

// The window's layout: label and entry tops, one a phrase.
constexpr std::array<int, Tphrases::Count> kLabelTops{13, 37, 61, 85, 109, 132, 156, 180, 204};
constexpr std::array<int, Tphrases::Count> kEntryTops{12, 36, 60, 84, 108, 131, 155, 179, 203};
// Tab visits the entries in this order (phrase numbers).
constexpr std::array<int, Tphrases::Count> kTabOrder{1, 2, 3, 4, 5, 9, 8, 7, 6};

const QColor kPeach(255, 218, 176);
// A plain deep blue under the peach labels; the main window may lay its own
// background over it.
const QColor kBackground(28, 46, 112);

void setColour(QWidget *w, QPalette::ColorRole role, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(role, c);
    w->setPalette(p);
}

} // namespace

Tphrases::Tphrases(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("phrases"));
    setWindowTitle(QStringLiteral("Vexlo - Phrase Buttons "));
    setFixedSize(368, 264);
    setSizeGripEnabled(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(11);
    setFont(f);
    setColour(this, QPalette::Window, kBackground);
    setAutoFillBackground(true);

    for (int i = 0; i < Count; ++i) {
        auto *l = new QLabel(QStringLiteral("Phrase Button %1:").arg(i + 1), this);
        l->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        l->move(9, kLabelTops[i]);
        setColour(l, QPalette::WindowText, kPeach);
        l->adjustSize();
        label[i] = l;
    }
    // Created in Tab order, and told so as well.
    for (int n : kTabOrder) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("phrase%1").arg(n));
        e->setGeometry(112, kEntryTops[n - 1], 248, 21);
        e->setMaxLength(MaxPhraseLength);
        setColour(e, QPalette::Base, kPeach);
        setColour(e, QPalette::Text, Qt::black);
        phrase[n - 1] = e;
    }

    Label13 = new QLabel(QStringLiteral("Buttons can only be used once every 2 seconds"), this);
    Label13->setObjectName(QStringLiteral("Label13"));
    Label13->setGeometry(25, 229, 137, 25);
    Label13->setAlignment(Qt::AlignCenter);
    Label13->setWordWrap(true);
    setColour(Label13, QPalette::WindowText, Qt::red);

    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setGeometry(266, 230, 95, 20);
    button_done->setDefault(true);

    QWidget *previous = phrase[kTabOrder[0] - 1];
    for (int k = 1; k < Count; ++k) {
        setTabOrder(previous, phrase[kTabOrder[k] - 1]);
        previous = phrase[kTabOrder[k] - 1];
    }
    setTabOrder(previous, button_done);

    connect(button_done, &QPushButton::clicked, this, [this] { vexlo::guarded([this] { button_doneClick(); }); });
}

void Tphrases::fill(const QStringList &buttonPhrases)
{
    for (int i = 0; i < Count; ++i)
        phrase[i]->setText(buttonPhrases.value(i));
}

QStringList Tphrases::phrases() const
{
    QStringList texts;
    for (const QLineEdit *e : phrase)
        texts.append(e->text());
    return texts;
}

void Tphrases::showPhrases(const QStringList &buttonPhrases)
{
    fill(buttonPhrases);
    if (QWidget *owner = parentWidget()) {
        // Client area on client area: the two frames are alike.
        QRect r = geometry();
        r.moveCenter(owner->window()->geometry().center());
        setGeometry(r);
    }
    show();
    raise();
    activateWindow();
    phrase[0]->setFocus();
}

void Tphrases::button_doneClick()
{
    const QStringList texts = phrases();
    Q_EMIT setButtonPhrases(texts);
    IniFile ini(settingsFile);
    vexlo::savePhrases(ini, texts);
    accept();
}
