#pragma once
// The chat area of the main window: the chat view with its pop-up menu, the
// chat entry with its pop-up menu, the nine phrase buttons, the sound button
// and its sound menu. Its widgets are its own; what the user does with them is
// reported out, and the window tells it what to show.
#include <QWidget>

#include <array>

class QAction;
class QLineEdit;
class QMenu;
class QTextEdit;
class QToolButton;

class ChatView : public QWidget
{
    Q_OBJECT
public:
    explicit ChatView(QWidget *parent);

    // The title of a chatter sound ("wave1" .. "wave12"); empty for any other name.
    static QString soundTitle(const QString &name);

    // --- the chat view ---
    // Appends a line in a colour, its head (up to its first ":") in bold. With
    // scrolling off the view stays where it is.
    void addLine(const QString &line, const QColor &colour);
    void clear();
    // "Clear Main Chat": the view emptied, the entry focused.
    void clearChat();
    // "Scroll Chat Off": new lines leave the view where it is, or scroll again.
    void toggleScrollOff();
    void setTextSize(int points);
    // The selected text, lines joined by "\n"; copySelection puts it on the clipboard.
    QString selectedText() const;
    void copySelection();
    void select(int start, int length);
    // The text of the link at a point of the view's viewport (empty if none).
    QString linkAt(const QPoint &pos, int *start = nullptr, int *length = nullptr) const;
    void showLinkCursor(bool overLink);

    // --- the chat entry ---
    QString entryText() const;
    void setEntryText(const QString &text);
    // The clipboard's text as the entry's whole line, line breaks as blanks.
    void paste();
    void clearEntry();
    // Empties the entry while it still shows its starting text.
    void dropStartText();
    void setEntryColour(const QColor &colour);
    void focusEntry();

    // --- the buttons ---
    // Phrase button n (1..9) shows its phrase as its hint.
    void setPhrase(int n, const QString &phrase);
    // Opens the sound menu at the sound button's lower right corner.
    void popUpSoundMenu();

    // Whether a widget is the entry / the view (or its viewport).
    bool isEntry(const QObject *o) const;
    bool isView(const QObject *o) const;

Q_SIGNALS:
    // Enter or Return in the entry.
    void entered();
    // A left press on a link: it is selected, to be opened.
    void linkOpened(const QString &link);
    void scrollOffChanged(bool on);
    void phrasePressed(int n);
    // A sound menu item: 0 "<Cancel>", 1..12 the sounds.
    void soundChosen(int tag);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildView();
    void buildEntry();
    void buildButtons();

    QTextEdit *mainchat = nullptr;
    QLineEdit *mychat = nullptr;
    std::array<QToolButton *, 10> b_phrase{}; // 1..9 phrases, [0] is b_phrase10, the sound button
    QMenu *popup_mainchat = nullptr;
    QMenu *popup_mychat = nullptr;
    QMenu *popup_sounds = nullptr;
    QAction *ScrollChatOff2 = nullptr;
    bool m_scrollOff = false;
};
