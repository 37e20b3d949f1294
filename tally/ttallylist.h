#pragma once
// Ttallylist: the tally window, "Vexlo - Tally List". It keeps, for the local
// player, the count of finished games and wins: overall, and against each
// opponent the player chose to tally, all-time and for this session.
//
// The table is a TallyGrid (stringgrid_scores); the list of tallied opponents
// (listbox_tally) holds one checked item per opponent row, item i for row i + 1.
// The main window fills the check list of the current game's opponents
// (loadchecklist) and reports every game end through addgame.
//
// The file is read when the window is made, and written after every game end and
// when the window is destroyed, each time atomically (see tallyfile.h).
#include "tallygrid.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class Ttallylist : public QDialog
{
    Q_OBJECT
public:
    // tallyFile: the file the tally is read from and written to.
    explicit Ttallylist(const QString &tallyFile, QWidget *parent = nullptr);
    ~Ttallylist() override; // writes the tally; a failure there is silent

    // A Yes/No question, true for Yes (the main window puts its desktop's box here).
    std::function<bool(QWidget *parent, const QString &question)> confirm;

    QString tallyFile() const { return m_file; }

    // Reads the tally file (a missing one gives the empty tally; a damaged one is
    // reported, set aside and gives the empty tally) and shows it (loadtally).
    void FormCreate();
    // Writes the tally file; false (with the message in *error) when it could not.
    bool saveTally(QString *error = nullptr);

    // A game ended: text is "addtomine" when the local player won, else the
    // winner's name. Counts the game and writes the file.
    void addgame(const QString &text);
    int addit(int column, int row);
    void addtomineincrease(int column);
    void addtomineset(int column, const QString &text);
    void moverow(int row);
    void loadtally();

    // The opponents of the current game, in seat order; those already tallied
    // are checked.
    void fillChecklist(const QStringList &names);
    // The index of the first tallied opponent named name, letter case ignored; -1 if none.
    int tallyIndexOf(const QString &name) const;

    // Handlers.
    void checklistClickCheck(int index);    // an item of the check list clicked on its box
    void listbox_tallyClick();              // an opponent selected
    void listbox_tallyClickCheck(int index);// an opponent's item unchecked
    void button_resetClick();
    void button_doneClick();

    TallyGrid stringgrid_scores;
    QListWidget *listbox_tally = nullptr;
    QListWidget *checklist = nullptr;
    std::array<QLabel *, 5> mylabel{};  // mylabel_1 .. mylabel_4 ([0] unused)
    std::array<QLabel *, 9> labels{};   // label_1 .. label_8 ([0] unused)
    QLabel *label_hisname = nullptr;
    QLabel *label_hisnametop = nullptr;
    QPushButton *button_reset = nullptr;
    QPushButton *button_done = nullptr;

Q_SIGNALS:
    // Before a game is tallied: the main window fills checklist with the current
    // game's opponents (through fillChecklist), connected directly.
    void loadchecklist();

private:
    void buildWindow();
    void addTallyItem(const QString &name);
    bool ask(const QString &question);

    QString m_file;
    // Set while the program changes check marks, so only the player's clicks act.
    bool m_filling = false;
    // A damaged file that could not be set aside is never overwritten.
    bool m_keepFile = false;
    // A failed save at a game end was reported and none has succeeded since.
    bool m_saveFailureReported = false;
};
