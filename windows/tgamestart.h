#pragma once
// Tgamestart: the host's game options window. Rounds per game and the creation
// time are picked with the arrows only; the start button asks the main window
// to start the game on its connection.
#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;

class Tgamestart : public QDialog
{
    Q_OBJECT
public:
    explicit Tgamestart(QWidget *parent = nullptr);


    // The edits show the arrows' positions (rounds 1..10, seconds 30..120 in 5s).
    QSpinBox *edit_playtoscore;
    QSpinBox *edit_creationtime;
    QSpinBox *UpDown1() const { return edit_playtoscore; }
    QSpinBox *UpDown2() const { return edit_creationtime; }
    QPushButton *button_start;
    QLabel *label_heading;

    // Hides the window, asks for the game start with the two values and for the
    // settings to be saved, so the next run offers the same values.
    void button_startClick();

Q_SIGNALS:
    // The game is to start: the main window sends "CMD_startgame" with these.
    void startRequested(int playToScore, int timePerTurn);
    // The settings file is to be written, the two values included.
    void saveRequested();
};
