#pragma once
// The board of the main window: the pattern row and the answer row of letter
// tiles, the pass and clear buttons, the "Type In Chat" box, the countdown, the
// check marks of the words done, the word label and the praise picture. Its
// widgets are its own; it follows the round model's signals, as the seat list
// follows the seats model, and reports clicks out.
#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class RoundModel;
class PictureCheckBox;
class TileRow;
namespace vexlo {
class TileSet;
}

class BoardView : public QWidget
{
    Q_OBJECT
public:
    // Lies over the whole of its parent; only its own widgets take the mouse.
    // It shows the round model (which outlives it) with the tiles of a set (which
    // outlives it too, and is drawn again when the model says its tiles changed).
    BoardView(const RoundModel &round, const vexlo::TileSet &tiles, QWidget *parent);

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
    // The two rows of five tiles: the pattern to match and the word typed.
    enum Row { Gap, Word };
    QLabel *tile(Row row, int at) const;
    int &shown(Row row, int at);
    void draw(Row row, int at, int number);
    // Tells the two rows what their tiles show, for a screen reader.
    void tellRows();
    // What the model holds, shown.
    void showTiles();
    void showMarks();
    // The seconds left; below 1 the time reads 0:00 and the bar is empty.
    void showCountdown(int secondsLeft);
    // As the window starts: 0:00 and a full bar.
    void resetCountdown();

    const RoundModel &m_round;
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
