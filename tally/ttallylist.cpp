#include "ttallylist.h"

#include "errorreport.h"
#include "look.h"
#include "tallyfile.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

using namespace vexlo;

namespace {

const QString kMine = QStringLiteral("addtomine");

QLabel *caption(QWidget *parent, const QString &text, QRect at, bool bold = false)
{
    auto *l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText); // names come from other players
    l->setGeometry(at);
    l->setFont(look::arial(13, bold));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, look::onBackground());
    l->setPalette(p);
    return l;
}

QListWidget *checkList(QWidget *parent, const char *name, QRect at)
{
    auto *l = new QListWidget(parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(at);
    l->setFont(look::arial(13));
    l->setStyleSheet(QStringLiteral("QListWidget { background: %1; color: black; }").arg(look::peach().name()));
    look::showKeyboardFocus(l);
    return l;
}

} // namespace

Ttallylist::Ttallylist(const QString &tallyFile, QWidget *parent) : QDialog(parent), m_file(tallyFile)
{
    confirm = [](QWidget *owner, const QString &question) {
        return QMessageBox::question(owner, QStringLiteral("Vexlo"), question, QMessageBox::Yes | QMessageBox::No)
               == QMessageBox::Yes;
    };
    buildWindow();
    FormCreate();
}

Ttallylist::~Ttallylist()
{
    saveTally(); // at exit a failure has nobody left to tell
}

void Ttallylist::buildWindow()
{
    setObjectName(QStringLiteral("tallylist"));
    setWindowTitle(QStringLiteral("Vexlo - Tally List"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(440, 300);
    look::applyBackground(this);

    caption(this, QStringLiteral("Players Being Tallied"), QRect(10, 8, 170, 18), true);
    listbox_tally = checkList(this, "listbox_tally", QRect(10, 27, 170, 140));
    caption(this, QStringLiteral("Players In Current Game"), QRect(10, 174, 170, 18), true);
    checklist = checkList(this, "checklist", QRect(10, 193, 170, 97));

    caption(this, QStringLiteral("Your Total Tally"), QRect(196, 8, 200, 18), true);
    caption(this, QStringLiteral("Total Games:"), QRect(204, 28, 100, 16));
    caption(this, QStringLiteral("Your Wins"), QRect(204, 46, 100, 16));
    QLabel *var3 = caption(this, QStringLiteral("Var3:"), QRect(204, 64, 50, 16));
    QLabel *var4 = caption(this, QStringLiteral("Var4:"), QRect(204, 82, 50, 16));
    var3->hide();
    var4->hide();
    for (int i = 1; i <= 4; ++i) {
        QLabel *l = caption(this, QStringLiteral("0"), QRect(310, 28 + 18 * (i - 1), 60, 16), true);
        l->setObjectName(QStringLiteral("mylabel_%1").arg(i));
        if (i > 2)
            l->hide();
        mylabel[size_t(i)] = l;
    }

    label_hisnametop = caption(this, QString(), QRect(196, 104, 236, 18), true);
    label_hisnametop->setObjectName(QStringLiteral("label_hisnametop"));
    caption(this, QStringLiteral("Total"), QRect(330, 126, 50, 16), true);
    caption(this, QStringLiteral("Session"), QRect(380, 126, 56, 16), true);
    caption(this, QStringLiteral("Number of Games"), QRect(204, 146, 124, 16));
    label_hisname = caption(this, QStringLiteral("XX Wins:"), QRect(204, 164, 124, 16));
    label_hisname->setObjectName(QStringLiteral("label_hisname"));
    caption(this, QStringLiteral("Your Wins:"), QRect(204, 182, 124, 16));
    caption(this, QStringLiteral("Neither Won:"), QRect(204, 200, 124, 16));
    for (int i = 1; i <= 8; ++i) {
        const int row = (i - 1) % 4;
        QLabel *l = caption(this, QStringLiteral("0"), QRect(i <= 4 ? 330 : 380, 146 + 18 * row, 48, 16));
        l->setObjectName(QStringLiteral("label_%1").arg(i));
        labels[size_t(i)] = l;
    }

    button_reset = new QPushButton(QStringLiteral("Reset Tally"), this);
    button_reset->setObjectName(QStringLiteral("button_reset"));
    button_reset->setGeometry(204, 262, 104, 26);
    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setGeometry(320, 262, 104, 26);
    button_done->setDefault(true);

    connect(button_reset, &QPushButton::clicked, this, [this] { guarded([this] { button_resetClick(); }); });
    connect(button_done, &QPushButton::clicked, this, [this] { button_doneClick(); });
    connect(listbox_tally, &QListWidget::itemSelectionChanged, this, [this] { listbox_tallyClick(); });
    // A click on a check box acts once the list has finished its own handling,
    // since the handlers may delete the item or ask a question.
    connect(listbox_tally, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (m_filling || item->checkState() == Qt::Checked)
            return;
        QMetaObject::invokeMethod(this, [this, item] {
            const int index = listbox_tally->row(item);
            if (index >= 0 && item->checkState() != Qt::Checked)
                guarded([&] { listbox_tallyClickCheck(index); });
        }, Qt::QueuedConnection);
    });
    connect(checklist, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (m_filling)
            return;
        const int index = checklist->row(item);
        guarded([&] { checklistClickCheck(index); });
    });
}

// --- the file ---

void Ttallylist::FormCreate()
{
    const tally::ReadResult read = tally::readTallyFile(m_file);
    stringgrid_scores = read.grid;
    // A damaged file that could not be moved aside stays as it is.
    m_keepFile = !read.error.isEmpty() && read.setAside.isEmpty() && QFile::exists(m_file);
    if (!read.error.isEmpty())
        reportError(read.error);
    loadtally();
}

bool Ttallylist::saveTally(QString *error)
{
    if (m_keepFile) {
        if (error)
            *error = QStringLiteral("The tally is not saved: %1 could not be read and is kept as it is.").arg(m_file);
        return false;
    }
    try {
        tally::writeTallyFile(m_file, stringgrid_scores);
        return true;
    } catch (const std::exception &e) {
        if (error)
            *error = QString::fromLocal8Bit(e.what());
    }
    return false;
}

void Ttallylist::loadtally()
{
    for (int column = 1; column <= 4; ++column)
        mylabel[size_t(column)]->setText(stringgrid_scores.cell(column, 0));
    listbox_tally->clear();
    for (int row = 1; row < stringgrid_scores.rowCount(); ++row)
        addTallyItem(stringgrid_scores.cell(0, row));
    // Session counts start at zero in every run.
    stringgrid_scores.clearSession();
}

// --- counting ---

int Ttallylist::addit(int column, int row)
{
    return stringgrid_scores.addit(column, row);
}

void Ttallylist::addtomineincrease(int column)
{
    const int value = addit(column, 0);
    if (column >= 1 && column <= 4)
        mylabel[size_t(column)]->setText(QString::number(value));
}

void Ttallylist::addtomineset(int column, const QString &text)
{
    stringgrid_scores.setCell(column, 0, text);
    if (column >= 1 && column <= 4)
        mylabel[size_t(column)]->setText(text);
}

void Ttallylist::moverow(int row)
{
    stringgrid_scores.moverow(row);
}

void Ttallylist::addgame(const QString &text)
{
    Q_EMIT loadchecklist();
    addtomineincrease(1);
    if (text == kMine)
        addtomineincrease(2);
    for (int i = 0; i < checklist->count(); ++i) {
        const int index = tallyIndexOf(checklist->item(i)->text());
        if (index < 0)
            continue; // not tallied: counted nowhere
        const int row = index + 1;
        for (int column = 1; column < TallyGrid::Columns; ++column)
            if (stringgrid_scores.cell(column, row).isEmpty())
                stringgrid_scores.setCell(column, row, QStringLiteral("0"));
        addit(1, row);
        addit(5, row);
        if (stringgrid_scores.cell(0, row) == text) { // the opponent won; letter case counts
            addit(2, row);
            addit(6, row);
        } else if (text == kMine) {
            addit(3, row);
            addit(7, row);
        } else {
            addit(4, row);
            addit(8, row);
        }
    }
    if (QListWidgetItem *current = listbox_tally->currentItem(); current && current->isSelected())
        listbox_tallyClick();
    // Kept after every game, so a crash loses nothing counted. A save that keeps
    // failing (a read-only folder) is reported once, not after every game, and
    // again only when a later save fails after one went through.
    if (QString error; saveTally(&error))
        m_saveFailureReported = false;
    else if (!std::exchange(m_saveFailureReported, true))
        reportError(error);
}

// --- the two lists ---

void Ttallylist::addTallyItem(const QString &name)
{
    const bool filling = std::exchange(m_filling, true);
    auto *item = new QListWidgetItem(name, listbox_tally);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    m_filling = filling;
}

int Ttallylist::tallyIndexOf(const QString &name) const
{
    for (int i = 0; i < listbox_tally->count(); ++i)
        if (listbox_tally->item(i)->text().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void Ttallylist::fillChecklist(const QStringList &names)
{
    const bool filling = std::exchange(m_filling, true);
    checklist->clear();
    for (const QString &name : names) {
        auto *item = new QListWidgetItem(name, checklist);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(tallyIndexOf(name) >= 0 ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = filling;
}

void Ttallylist::checklistClickCheck(int index)
{
    const QListWidgetItem *item = checklist->item(index);
    if (!item || tallyIndexOf(item->text()) >= 0)
        return; // already tallied; unchecking does not remove the tally
    addTallyItem(item->text());
    stringgrid_scores.appendRow(item->text());
}

void Ttallylist::listbox_tallyClick()
{
    const int index = listbox_tally->currentRow();
    if (index < 0)
        return;
    const int row = index + 1;
    for (int column = 1; column <= 8; ++column)
        labels[size_t(column)]->setText(stringgrid_scores.cell(column, row));
    const QString name = listbox_tally->item(index)->text();
    label_hisname->setText(name + QStringLiteral(" Wins:"));
    label_hisnametop->setText(name + QStringLiteral("'s Tally"));
}

void Ttallylist::listbox_tallyClickCheck(int index)
{
    QListWidgetItem *item = listbox_tally->item(index);
    if (!item || item->checkState() == Qt::Checked)
        return;
    if (ask(QStringLiteral("This will delete ") + item->text() + QStringLiteral("'s Tally, Are you want to delete it?"))) {
        moverow(index + 1);
        delete item;
    } else {
        const bool filling = std::exchange(m_filling, true);
        item->setCheckState(Qt::Checked);
        m_filling = filling;
    }
}

void Ttallylist::button_resetClick()
{
    if (!ask(QStringLiteral("Are you sure you want to reset the Tally?")))
        return;
    for (int column = 1; column <= 4; ++column)
        mylabel[size_t(column)]->setText(QStringLiteral("0"));
    listbox_tally->clear();
    stringgrid_scores.reset();
    for (int column = 1; column <= 8; ++column)
        labels[size_t(column)]->setText(QStringLiteral("0"));
}

void Ttallylist::button_doneClick()
{
    close();
}

bool Ttallylist::ask(const QString &question)
{
    return confirm && confirm(this, question);
}
