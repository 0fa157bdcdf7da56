// FinishedText: a parameter box's text as its last finished edit left it,
// which is what the engine reads while the user may be halfway through
// typing a new value.
#pragma once

#include <QObject>
#include <functional>
#include <string>

class QLineEdit;

namespace ljgas {

// An edit is finished by Return, by Tab or a click that takes the focus
// elsewhere (the box's editingFinished), or by finish(), which Go and
// Initialize call before they read. Text the program writes into the box
// counts at once. Until then readers get the text before the edit, so a
// Tsoll retyped from "0.3" never reaches the thermostat as "0" or "0.".
class FinishedText : public QObject {
public:
    // Lives as a child of the box; `changed` is called whenever the text
    // that counts changes.
    FinishedText(QLineEdit& box, std::function<void()> changed);

    const std::string& text() const { return text_; }
    // Takes the box's text as it stands.
    void finish();

private:
    QLineEdit& box_;
    std::function<void()> changed_;
    std::string text_;
};

}  // namespace ljgas
