#include "accessibility.h"

#include "boardpictures.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

#include <algorithm>

namespace vexlo::access {

namespace {

QString letter(int number)
{
    return QString(QChar(u'A' + (number - 1)));
}

// A numbered widget of the same window ("image_check" 4).
template <typename T>
T *sibling(const QWidget *w, const char *prefix, int number)
{
    return w->window()->findChild<T *>(QLatin1String(prefix) + QString::number(number));
}

void tell(QObject *object, QAccessible::Event what)
{
    QAccessibleEvent event(object, what);
    QAccessible::updateAccessibility(&event);
}

// A widget whose children a screen reader does not need.
class Leaf : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
};

class TileRowInterface : public Leaf
{
public:
    explicit TileRowInterface(TileRow *row) : Leaf(row, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description)
            return static_cast<const TileRow *>(widget())->description();
        return Leaf::text(t);
    }
};

// label_wordcount: the word's place in the list and the words done.
class WordLabelInterface : public Leaf
{
public:
    explicit WordLabelInterface(QLabel *label) : Leaf(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return Leaf::text(t);
        int done = 0;
        for (int i = 1; i <= 10; ++i)
            if (const QLabel *check = sibling<QLabel>(widget(), "image_check", i); check && !check->isHidden())
                ++done;
        return wordSummary(static_cast<const QLabel *>(widget())->text(), done);
    }
};

// label_playername i: the name, and the rest of the seat's line as its description.
class SeatInterface : public Leaf
{
public:
    SeatInterface(QLabel *label, int seat) : Leaf(label, QAccessible::StaticText), m_seat(seat) {}
    QString text(QAccessible::Text t) const override
    {
        const auto *name = static_cast<const QLabel *>(widget());
        if (t == QAccessible::Name)
            return name->text();
        if (t != QAccessible::Description)
            return Leaf::text(t);
        const QLabel *total = sibling<QLabel>(widget(), "label_score", m_seat);
        const QLabel *words = sibling<QLabel>(widget(), "label_words", m_seat);
        const QLabel *eyes = sibling<QLabel>(widget(), "image_eyes", m_seat);
        return seatSummary(total && !total->isHidden() ? total->text() : QString(), words ? words->text() : QString(),
                           eyes && !eyes->isHidden());
    }

private:
    int m_seat;
};

class CheckBoxInterface : public Leaf
{
public:
    explicit CheckBoxInterface(PictureCheckBox *box) : Leaf(box, QAccessible::CheckBox) {}
    QAccessible::State state() const override
    {
        QAccessible::State s = Leaf::state();
        s.checkable = true;
        s.checked = static_cast<const PictureCheckBox *>(widget())->isChecked();
        return s;
    }
    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString &action) override
    {
        if (action != toggleAction())
            return;
        // As a click on the box: the window flips the typing state.
        const QPointF centre = QRectF(widget()->rect()).center();
        QMouseEvent press(QEvent::MouseButtonPress, centre, widget()->mapToGlobal(centre), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget(), &press);
    }
};

// label_winner2 only draws the winner text's shadow.
class ShadowInterface : public Leaf
{
public:
    explicit ShadowInterface(QWidget *w) : Leaf(w, QAccessible::StaticText) {}
    QAccessible::State state() const override
    {
        QAccessible::State s = Leaf::state();
        s.invisible = true;
        return s;
    }
    QString text(QAccessible::Text) const override { return {}; }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    // The board's voices: their name is all there is to say (no role name).
    if (className == QLatin1String("QWidget") && object->objectName().startsWith(QLatin1String("board_voice")))
        return new Leaf(static_cast<QWidget *>(object), QAccessible::Client);
    if (className == QLatin1String("TileRow"))
        return new TileRowInterface(static_cast<TileRow *>(object));
    if (className == QLatin1String("PictureCheckBox"))
        return new CheckBoxInterface(static_cast<PictureCheckBox *>(object));
    if (className != QLatin1String("QLabel"))
        return nullptr;
    auto *label = static_cast<QLabel *>(object);
    const QString name = object->objectName();
    if (name == QLatin1String("label_wordcount"))
        return new WordLabelInterface(label);
    if (name == QLatin1String("label_winner2"))
        return new ShadowInterface(label);
    const QLatin1String seatPrefix("label_playername");
    if (name.startsWith(seatPrefix)) {
        bool ok = false;
        const int seat = name.mid(seatPrefix.size()).toInt(&ok);
        if (ok)
            return new SeatInterface(label, seat);
    }
    return nullptr;
}

// Raises a name change of the word label when a check mark shows or hides.
class CheckFollower : public QObject
{
public:
    CheckFollower(QLabel *wordLabel) : QObject(wordLabel), m_label(wordLabel) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
            tell(m_label, QAccessible::NameChanged);
        return false;
    }

private:
    QLabel *m_label;
};

} // namespace

QString patternText(const QList<int> &tiles)
{
    QStringList said;
    for (int n : tiles)
        said << (n >= 1 && n <= 26 ? letter(n) : QStringLiteral("blank"));
    return said.join(QStringLiteral(", "));
}

QString typedText(const QList<int> &tiles)
{
    QStringList said;
    for (int n : tiles)
        if (n >= 1 && n <= 26)
            said << letter(n);
    return said.isEmpty() ? QStringLiteral("empty") : said.join(QStringLiteral(", "));
}

QString wordSummary(const QString &word, int done)
{
    const QString count = QStringLiteral("%1 of 10 done").arg(done);
    if (word.isEmpty())
        return done > 0 ? count : QString();
    return word + QStringLiteral(", ") + count;
}

QString seatSummary(const QString &total, const QString &words, bool watching)
{
    QStringList parts;
    if (!total.isEmpty())
        parts << QStringLiteral("total ") + total;
    if (!words.isEmpty())
        parts << words + (words == QLatin1String("1") ? QStringLiteral(" word this round") : QStringLiteral(" words this round"));
    if (watching)
        parts << QStringLiteral("watching");
    return parts.join(QStringLiteral(", "));
}

void install()
{
    QAccessible::installFactory(factory); // a second call changes nothing
}

void describe(QWidget *board)
{
    auto name = [board](const QString &object, const QString &text, const QString &description = {}) {
        if (auto *w = board->findChild<QWidget *>(object)) {
            w->setAccessibleName(text);
            if (!description.isEmpty())
                w->setAccessibleDescription(description);
        }
    };
    // The picture buttons by the words on their pictures.
    name(QStringLiteral("button_start"), QStringLiteral("START GAME"));
    name(QStringLiteral("button_pass"), QStringLiteral("PASS WORD"), QStringLiteral("'1' KEY"));
    name(QStringLiteral("button_clear"), QStringLiteral("CLEAR WORD"), QStringLiteral("'0' KEY"));
    for (int i = 1; i <= 9; ++i)
        name(QStringLiteral("b_phrase%1").arg(i), QStringLiteral("Phrase Button %1").arg(i));
    name(QStringLiteral("b_phrase10"), QStringLiteral("Sounds"));
    // The pictures.
    name(QStringLiteral("image_logo"), QStringLiteral("Quorbit Software"));
    name(QStringLiteral("image_timer"), QStringLiteral("Time bar"));
    name(QStringLiteral("image_goodjob"), QStringLiteral("Good Job!"));
    for (int i = 1; i <= 6; ++i) {
        name(QStringLiteral("image_eyes%1").arg(i), QStringLiteral("watching"));
        name(QStringLiteral("image_bonus%1").arg(i), QStringLiteral("Bonus"));
        name(QStringLiteral("image_fastest%1").arg(i), QStringLiteral("First to complete the list"));
    }
    QList<QLabel *> checks;
    for (int i = 1; i <= 10; ++i) {
        name(QStringLiteral("image_check%1").arg(i), QStringLiteral("Word %1 done").arg(i));
        if (auto *check = board->findChild<QLabel *>(QStringLiteral("image_check%1").arg(i)))
            checks << check;
    }
    name(QStringLiteral("listbox_original"), QStringLiteral("Original Words"));
    if (auto *word = board->findChild<QLabel *>(QStringLiteral("label_wordcount")))
        followChecks(word, checks);
}

void followChecks(QLabel *wordLabel, const QList<QLabel *> &checks)
{
    auto *follower = new CheckFollower(wordLabel);
    for (QLabel *check : checks)
        check->installEventFilter(follower);
}


} // namespace vexlo::access

TileRow::TileRow(Kind kind, QWidget *parent) : QWidget(parent), m_kind(kind)
{
    setAccessibleName(kind == Pattern ? QStringLiteral("Pattern") : QStringLiteral("Your word"));
    setAttribute(Qt::WA_TransparentForMouseEvents); // clicks go where they went before
    m_tiles = QList<int>(5, kNothing);
    m_told = description();
}

QString TileRow::description() const
{
    const bool shown = std::any_of(m_tiles.cbegin(), m_tiles.cend(), [](int n) { return n != kNothing; });
    if (m_kind == Typed)
        return vexlo::access::typedText(m_tiles);
    // A pattern row that shows nothing (no word yet, or the list done) is empty.
    return shown ? vexlo::access::patternText(m_tiles) : QStringLiteral("empty");
}

void TileRow::setTiles(const QList<int> &tiles)
{
    m_tiles = tiles;
    if (m_pending)
        return;
    m_pending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_pending = false;
            const QString now = description();
            if (now == m_told)
                return;
            m_told = now;
            vexlo::access::tell(this, QAccessible::DescriptionChanged);
        },
        Qt::QueuedConnection);
}

PictureCheckBox::PictureCheckBox(const QString &name, QWidget *parent) : QLabel(parent)
{
    setAccessibleName(name);
    setPixmap(vexlo::look::checkBoxPicture(false));
}

void PictureCheckBox::setChecked(bool checked)
{
    // Drawn afresh each time, as the box always was.
    setPixmap(vexlo::look::checkBoxPicture(checked));
    if (checked == m_checked)
        return;
    m_checked = checked;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}
