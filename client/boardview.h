#pragma once
// The board of the main window: the pattern row and the answer row of letter
// tiles, the pass and clear buttons, the "Type In Chat" box, the countdown, the
// check marks of the words done, the word label and the praise picture. Its
// widgets are its own; clicks are reported out, and the window tells it what
// to show.
#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class PictureCheckBox;
class TileRow;
namespace vexlo {
class TileSet;
}

class BoardView : public QWidget
{
    Q_OBJECT
public:
    // The two rows of five tiles: the pattern to match and the word typed.
    enum Row { Gap, Word };

    // Lies over the whole of its parent; only its own widgets take the mouse.
    // tiles: the set the tiles are drawn from (it outlives the view).
    BoardView(const vexlo::TileSet &tiles, QWidget *parent);

    // --- tiles (at 1..5) ---
    // Shows a tile number (0 is the blank tile).
    void setTile(Row row, int at, int number);
    // Shows no picture at all.
    void showNothing(Row row, int at);
    // Every tile of a row blank / showing nothing.
    void blankRow(Row row);
    void emptyRow(Row row);
    // Draws the tiles again from the tile set (it changed); a tile that showed
    // nothing gets the blank tile.
    void redraw();

    // --- the pass and clear buttons ---
    void showButtons();
    void hideButtons();

    // --- the typing box ---
    void setTypingChecked(bool checked);

    // --- the countdown ---
    // The seconds left with the bar's step; below 1 the time reads 0:00 and the
    // bar is empty.
    void showCountdown(int secondsLeft, int barStep);
    // As the window starts: 0:00 and a full bar.
    void resetCountdown();

    // --- the word label, the check marks, the praise ---
    // The word's place in the list (1..10).
    void setWordIndex(int index);
    void clearWordLabel();
    // Check mark 1..10 shows.
    void showCheck(int n);
    void hideChecks();
    void showPraise();
    void hidePraise();

Q_SIGNALS:
    void passPressed();
    void clearPressed();
    // A left click on the typing box or its label.
    void typingClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTiles();
    void buildButtons();
    void buildTypingBox();
    void buildCountdown();
    void buildWordDisplay();
    QLabel *tile(Row row, int at) const;
    int &shown(Row row, int at);
    void draw(Row row, int at, int number);
    // Tells the two rows what their tiles show, for a screen reader.
    void tellRows();

    const vexlo::TileSet &m_tiles;
    TileRow *gapRow = nullptr;            // holds image_gap1..5
    TileRow *wordRow = nullptr;           // holds image_word1..5
    std::array<QLabel *, 6> image_gap{};  // 1..5
    std::array<QLabel *, 6> image_word{}; // 1..5
    QPushButton *button_pass = nullptr;
    QPushButton *button_clear = nullptr;
    PictureCheckBox *checkbox_typing = nullptr;
    QLabel *label_typing = nullptr;
    QLabel *image_timer = nullptr;
    QLabel *label_timer = nullptr;
    QLabel *label_wordcount = nullptr;
    std::array<QLabel *, 11> image_check{}; // 1..10
    QLabel *image_goodjob = nullptr;
    // What each tile shows: a tile number, or kNoTile.
    static constexpr int kNoTile = -1;
    std::array<int, 6> m_gapShown{};
    std::array<int, 6> m_wordShown{};
};
