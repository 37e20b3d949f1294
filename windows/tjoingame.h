#pragma once
// Tjoingame: File -> "Join Network Game...". Asks for the player's name and the
// host's address (a name, an IPv4 or IPv6 address, with an optional ":port"),
// offering the addresses joined lately; the main window joins when it is accepted.
#include "hostaddress.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class Tjoingame : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxNameLength = 20;

    explicit Tjoingame(QWidget *parent = nullptr);

    // The name, the recent addresses (the most recent first, and offered) and
    // the port an address without one goes to.
    void setChoices(const QString &name, const QStringList &recentHosts, int defaultPort);
    QString playerName() const;
    // The address as typed (blanks trimmed) and as read.
    QString addressText() const;
    vexlo::HostAddressText address() const;

    // Accepts when the name and the address are good; otherwise says what is
    // wrong and stays open, keeping what was typed.
    void button_okClick();

    QLineEdit *edit_name = nullptr;
    QComboBox *combo_address = nullptr;
    QLabel *label_note = nullptr;
    QLabel *label_error = nullptr;
    QPushButton *button_ok = nullptr;
};
