#pragma once
// Tphrases: the editor of the nine phrase-button texts. The main window fills it
// from its buttons and shows it without blocking; "Done" puts the texts back on
// the buttons and stores them as the nine phrase keys of the settings file, and
// the close box leaves the buttons and the file as they were.
#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

class Tphrases : public QDialog
{
    Q_OBJECT
public:
    static constexpr int Count = 9;
    static constexpr int MaxPhraseLength = 50;

    explicit Tphrases(QWidget *parent = nullptr);

    // Set by the main window: the settings file.
    QString settingsFile;

    // "Phrase List": fills the entries from the buttons' phrases (discarding any
    // edit not yet done), centres the editor on the main window and shows it.
    void showPhrases(const QStringList &buttonPhrases);
    // Fills the entries only; a text longer than MaxPhraseLength is cut.
    void fill(const QStringList &buttonPhrases);
    // The nine entries' texts as they stand.
    QStringList phrases() const;

    // "Done": hands the texts out through setButtonPhrases, writes "Phrase1".."Phrase9"
    // and closes. A failed write throws EIniFileException after the buttons got
    // their texts, and the editor stays open. The button's own click reports
    // the failure through vexlo::reportError.
    void button_doneClick();

    std::array<QLabel *, Count> label{};      // Label1 .. Label9
    std::array<QLineEdit *, Count> phrase{};  // phrase1 .. phrase9
    QLabel *Label13 = nullptr;
    QPushButton *button_done = nullptr;

Q_SIGNALS:
    // The texts for the main window's phrase buttons (nine texts, button 1 first).
    void setButtonPhrases(const QStringList &texts);
};
