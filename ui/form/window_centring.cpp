#include "ui/form/window_centring.h"

#include <QEvent>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "platform/twips.h"

namespace ljgas {

namespace {

// Watches a window until the window manager has framed it. Under X11 the
// frame arrives with the move of reparenting into it, before the window is
// first exposed; a window still unframed when first exposed gets none.
class FrameWatcher : public QObject {
public:
    explicit FrameWatcher(QWidget& window) : QObject(&window), window_(&window) { window.installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Show && window_->windowHandle() != nullptr) {
            window_->windowHandle()->installEventFilter(this);
        } else if (watched == window_->windowHandle() &&
                   (event->type() == QEvent::Move || event->type() == QEvent::Expose)) {
            const bool framed = !window_->windowHandle()->frameMargins().isNull();
            if (framed || event->type() == QEvent::Expose)
                finish(framed);
        }
        return false;
    }

private:
    // Moving the window from inside its own move event is left to the next
    // round of event processing.
    void finish(bool framed)
    {
        window_->removeEventFilter(this);
        window_->windowHandle()->removeEventFilter(this);
        if (framed) {
            QTimer::singleShot(0, window_, [window = window_] {
                if (window)
                    centreOnScreen(*window);
            });
        }
        deleteLater();
    }

    QPointer<QWidget> window_;
};

}  // namespace

void centreOnScreen(QWidget& window)
{
    if (QLayout* layout = window.layout())
        layout->activate();
    // In twips, the layout's unit, with the halves kept; only the corner is
    // rounded to pixels.
    const double dpiX = window.logicalDpiX();
    const double dpiY = window.logicalDpiY();
    const QSize outer = window.frameGeometry().size();
    const QRect screenArea = window.screen()->geometry();
    const WindowOrigin origin = centredOrigin(pixelsToTwips(screenArea.width(), dpiX),
                                              pixelsToTwips(screenArea.height(), dpiY),
                                              pixelsToTwips(outer.width(), dpiX), pixelsToTwips(outer.height(), dpiY));
    window.move(screenArea.x() + twipsToPixels(origin.Left, dpiX), screenArea.y() + twipsToPixels(origin.Top, dpiY));
}

void recentreWhenFramed(QWidget& window)
{
    new FrameWatcher(window);  // owned by the window, deletes itself when done
}

namespace {

// The shift along one axis that brings [from, to] within [low, high], or its
// start to `low` when it is longer than the area.
int shiftInto(int from, int to, int low, int high)
{
    if (to > high)
        return std::max(high - to, low - from);
    return from < low ? low - from : 0;
}

}  // namespace

void keepOnScreen(QWidget& window)
{
    if (!window.isVisible())
        return;
    if (QLayout* layout = window.layout())
        layout->activate();
    const QRect area = window.screen()->availableGeometry();
    const QRect outer = window.frameGeometry();
    const QPoint shift(shiftInto(outer.left(), outer.right(), area.left(), area.right()),
                       shiftInto(outer.top(), outer.bottom(), area.top(), area.bottom()));
    if (!shift.isNull())
        window.move(window.pos() + shift);
}

}  // namespace ljgas
