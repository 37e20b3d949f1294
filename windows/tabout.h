#pragma once
// Tabout: the about window, "Vexlo - About": the version, the maker and a link to
// the maker's web site. The main window's logo opens the same link (openLink).
#include "turl.h"

#include <QPixmap>
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
namespace vexlo { class ClickLabel; }

class Tabout : public QWidget
{
    Q_OBJECT
public:
    explicit Tabout(QWidget *parent = nullptr);

    // The maker's web site, as the link opens it.
    static TURL siteLink();
    // The version the players compare when they join ("1.0.3"), and the full
    // version the window shows ("1.0.3.2").
    static QString version();
    static QString fullVersion();

    // Tiles the window's background with the main window's background picture.
    void setBackgroundTile(const QPixmap &tile);

public Q_SLOTS:
    // Opens the maker's web site; false when the desktop could not.
    bool openLink();
    void image_logoClick();  // hides the window
    void button_doneClick(); // closes the window

private:
    TURL URL1;
    vexlo::ClickLabel *image_logo = nullptr;
    vexlo::ClickLabel *label_link = nullptr;
    QLabel *label_version = nullptr;
    QLabel *label_release = nullptr;
    QPushButton *button_done = nullptr;
};
