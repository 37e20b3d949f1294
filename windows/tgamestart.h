#pragma once
// Tgamestart: the host's game options window. Rounds per game and the creation
// time are picked with the arrows only; the start button sends the game start
// on the main window's connection.
#include <QByteArray>
#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QSpinBox;

class Tgamestart : public QDialog
{
    Q_OBJECT
public:
    explicit Tgamestart(QWidget *parent = nullptr);

    // Set by the main window: the name the game is started under, and how a
    // message goes out on its connection.
    std::function<QByteArray()> startername;
    std::function<void(const QByteArray &)> send;
    // Set by the main window: writes the settings file, the two values included.
    std::function<void()> saveSettings;

    // The edits show the arrows' positions (rounds 1..10, seconds 30..120 in 5s).
    QSpinBox *edit_playtoscore;
    QSpinBox *edit_creationtime;
    QSpinBox *UpDown1() const { return edit_playtoscore; }
    QSpinBox *UpDown2() const { return edit_creationtime; }
    QPushButton *button_start;
    QLabel *label_heading;

    // Sends "CMD_startgame" with the two values, hides the window and saves the
    // settings, so the next run offers the same values.
    void button_startClick();
};
