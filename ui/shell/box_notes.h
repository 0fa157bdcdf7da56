// BoxNotes: the status bar's word on a parameter box whose text is not a
// number in full, or a number that makes no gas. The engine reads such a
// text as far as it is a number (and as 0 when it does not begin with one),
// as it always has, and runs whatever number it reads; the window says so
// instead of leaving the gas to freeze with no hint why.
#pragma once

#include <QObject>
#include <string>
#include <string_view>

class QLabel;
class QStatusBar;

namespace ljgas {

class GasModel;

// "" when `text` is a number and nothing else (blanks around it allowed)
// that makes sense in its box; otherwise what it reads as: "Tsoll= reads
// '0,2' as 0: use a point for decimals", "R= reads 'abc' as 0: a disc's
// radius must be more than 0", "Tsoll= is -1: a temperature cannot be below
// 0; ...", "e0= is empty and reads as 0".
std::string boxNote(std::string_view caption, std::string_view text);

class BoxNotes : public QObject {
public:
    // The notes stand in `statusBar` for as long as the boxes read so; they
    // are looked at again whenever the parameters change (an edit finished,
    // a state opened).
    BoxNotes(QStatusBar& statusBar, const GasModel& model);
    void update();
    QString text() const;

private:
    const GasModel& model_;
    QLabel* label_ = nullptr;
};

}  // namespace ljgas
