#pragma once
// What the Host and Join dialogs share: their look (the game's background, peach
// fields, a heading), a line for what is wrong with the input, and the two buttons.
#include <QString>
#include <QStringList>

class QDialog;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vexlo::netdialog {

// Background, title "Vexlo - " + heading, the heading on top; returns the form
// the fields go into.
QFormLayout *build(QDialog *dialog, const QString &heading);
// A field of the form with its caption.
void addRow(QFormLayout *form, const QString &caption, QWidget *field);
// The player's name field ("edit_name", at most maxLength characters) with its caption.
QLineEdit *addNameField(QDialog *dialog, QFormLayout *form, const QString &caption, int maxLength);
// An editable box for a host's address ("combo_address") that offers the
// recent addresses without adding what is typed (addRow styles it).
QComboBox *addressBox(QDialog *dialog);
// Fills the name field and the address box with what was chosen last (the
// most recent address shown), hides the error line, and puts the focus where
// typing starts: the name when there is none yet, else the address.
void fillChoices(QLineEdit *name, QComboBox *address, QLabel *error, const QString &lastName,
                 const QStringList &recentHosts);
// A line of small explanatory text under the fields.
QLabel *addNote(QFormLayout *form, const QString &text);
// The line that says what is wrong with the input; hidden while nothing is.
QLabel *addErrorLine(QFormLayout *form);
// The confirming button (the default one) and "Cancel", which rejects.
QPushButton *addButtons(QDialog *dialog, QFormLayout *form, const QString &confirm);
// Styles an input field in the game's peach.
void styleField(QWidget *field);

} // namespace vexlo::netdialog
