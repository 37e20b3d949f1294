#pragma once
// Thostgame: File -> "Host Network Game...". Asks for the player's name and the
// port the game listens on; the main window starts hosting when it is accepted.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class Thostgame : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MinPort = 1024; // lower ones need the administrator
    static constexpr int MaxNameLength = 20;

    explicit Thostgame(QWidget *parent = nullptr);

    void setChoices(const QString &name, int port);
    QString playerName() const;
    int port() const;

    // Accepts when a name is given; otherwise says so and stays open.
    void button_okClick();

    QLineEdit *edit_name = nullptr;
    QSpinBox *edit_port = nullptr;
    QLabel *label_error = nullptr;
    QPushButton *button_ok = nullptr;
};
