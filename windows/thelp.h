#pragma once
// Thelp: the help window, "Vexlo - Help File": six pages of text stacked in one
// place, chosen with six page buttons, the chosen page's caption above them.
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QLabel;
class QPushButton;
class QStackedWidget;
class Tabout;

class Thelp : public QWidget
{
    Q_OBJECT
public:
    enum { PageCount = 6 };

    explicit Thelp(QWidget *parent = nullptr);

    // Brings page 1 (Overview) to 6 (License) to the front; other numbers are
    // ignored. Does not show the window.
    void showPage(int page);
    int currentPage() const;
    // The page buttons' captions: "Overview", "Connecting", ...
    static QString pageCaption(int page);

    // The about window that "About" shows (without one, the help window makes its
    // own on first use).
    void setAboutWindow(Tabout *about);
    // Tiles the window's background with the main window's background picture.
    void setBackgroundTile(const QPixmap &tile);

public Q_SLOTS:
    void SelButton1Click(); // shared by the six page buttons
    void button_aboutClick();
    void button_doneClick();

private:
    void selectPage(QAbstractButton *button);
    QString pageText(int page) const;

    QLabel *label_caption = nullptr;
    QStackedWidget *pages = nullptr;
    QPushButton *button_about = nullptr;
    QPushButton *button_done = nullptr;
    QPointer<Tabout> m_about;
    QList<QAbstractButton *> m_pageButtons; // page n at n - 1
};
