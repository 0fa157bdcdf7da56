// BoxNotes: the status bar's word on a parameter box whose text is not a
// number in full, or a number that makes no gas, which the engine runs as read.
#pragma once

#include <QObject>
#include <string>
#include <string_view>

class QLabel;
class QStatusBar;

namespace ljgas {

class GasModel;

// "" when `text` is a number and nothing else (blanks allowed) that makes
// sense in its box; otherwise what it reads as: "Tsoll= reads '0,2' as 0:
// use a point for decimals", "e0= is empty and reads as 0".
std::string boxNote(std::string_view caption, std::string_view text);

class BoxNotes : public QObject {
public:
    // The notes stand in `statusBar` for as long as the boxes read so,
    // looked at again whenever the parameters change.
    BoxNotes(QStatusBar& statusBar, const GasModel& model);
    void update();

private:
    const GasModel& model_;
    QLabel* label_ = nullptr;
};

}  // namespace ljgas
