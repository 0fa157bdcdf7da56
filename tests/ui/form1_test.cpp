// The window at rest: the state right after start-up, the fifteen controls
// with their geometry, captions, fonts and colours, the tab order, the
// centring, and the handlers pressed while no run is going on.
#include "ui/form/form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/record.h"
#include "platform/picture_box.h"
#include "platform/twips.h"
#include "ui_test_support.h"

namespace ljgas {
namespace {

using test::black;
using test::countPixels;
using test::lightRed;
using test::ScriptedForm;
using test::white;

struct ControlLayout {
    const char* name;
    const char* caption;  // nullptr: not a captioned control
    int left;
    int top;
    int width;
    int height;
    double points;
};

// The stored layout, in twips, in the order of creation.
const std::vector<ControlLayout> layout = {
    {"Tsolltxt", nullptr, 10440, 2040, 1095, 495, 13.5},
    {"Thermostat", "Thermostat", 11880, 2040, 1935, 375, 13.5},
    {"e0txt", nullptr, 10440, 1440, 1095, 495, 13.5},
    {"Rtxt", nullptr, 10440, 840, 1095, 495, 13.5},
    {"Distribution", nullptr, 9360, 4320, 5055, 4215, 8.25},
    {"pause", "Stop", 12960, 120, 1455, 615, 18},
    {"Initialize", "Initialize", 9360, 120, 1455, 615, 18},
    {"Go", "Go", 11400, 120, 1095, 615, 18},
    {"window", nullptr, 0, 0, 9255, 8535, 8.25},
    {"Label2(3)", "Tsoll=", 9360, 2040, 1335, 495, 18},
    {"Label2(2)", "e0=", 9360, 1440, 615, 495, 18},
    {"Ttxt", "", 10440, 2640, 2655, 495, 13.5},
    {"Label2(1)", "Tist=", 9360, 2640, 855, 495, 18},
    {"Label3", "Radial Distribution Function g(r)", 9360, 3840, 4935, 375, 13.5},
    {"Label2(0)", "R=", 9360, 840, 495, 495, 18},
};

QString captionOf(QWidget* w)
{
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    return {};
}

class Form1Test : public testing::Test {
protected:
    void SetUp() override { form.load(); }  // start-up, as showing the window would run it

    ScriptedForm form;
    double dpiX = form.logicalDpiX();
    double dpiY = form.logicalDpiY();
};

TEST_F(Form1Test, StartUpWritesTheDefaultsAndPlacesTheLattice)
{
    EXPECT_EQ(form.control<QLineEdit>("Rtxt")->text(), "0.01");
    EXPECT_EQ(form.control<QLineEdit>("e0txt")->text(), "0.2");
    EXPECT_EQ(form.control<QLineEdit>("Tsolltxt")->text(), "0.3");
    EXPECT_TRUE(form.control<QCheckBox>("Thermostat")->isChecked());
    EXPECT_EQ(form.control<QLabel>("Ttxt")->text(), "");
    EXPECT_EQ(form.record().n, 225);
    EXPECT_EQ(form.record().R, 0.01f);
    EXPECT_EQ(form.record().PauseMark, 0);
    EXPECT_TRUE(form.errors().empty());
    EXPECT_EQ(form.windowTitle(), "Lennard-Jones Gas");
}

TEST_F(Form1Test, StartUpLeavesAnEmptyWhiteReadOutAndABlackEmptyPlot)
{
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* Ttxt = form.control<QLabel>("Ttxt");
    EXPECT_TRUE(Ttxt->autoFillBackground());
    const QImage readOut = Ttxt->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(countPixels(readOut, white), static_cast<long long>(readOut.width()) * readOut.height());

    const QImage& plot = form.plot().image();
    EXPECT_EQ(form.plot().BackColor(), black);
    EXPECT_EQ(countPixels(plot, black), static_cast<long long>(plot.width()) * plot.height());
    EXPECT_EQ(form.view().BackColor(), black);
}

TEST_F(Form1Test, StartUpDrawsTheLatticeInTheParticleView)
{
    const PictureBox& view = form.view();
    const double r = 0.01 * (view.width() - 1) / (static_cast<double>(1.0f - 0.01f) - 0.01f);
    const long long perCircle = test::circlePixelCount(r);
    EXPECT_EQ(countPixels(view.image(), white), 224 * perCircle);
    EXPECT_EQ(countPixels(view.image(), lightRed), perCircle);
    EXPECT_EQ(countPixels(view.image(), black) + 225 * perCircle, static_cast<long long>(view.width()) * view.height());
}

TEST_F(Form1Test, FifteenControlsWithTheStoredGeometryAndCaptions)
{
    EXPECT_EQ(form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 15);
    for (const ControlLayout& c : layout) {
        SCOPED_TRACE(c.name);
        auto* w = form.control<QWidget>(c.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), QRect(twipsToPixels(c.left, dpiX), twipsToPixels(c.top, dpiY),
                                       twipsToPixels(c.width, dpiX), twipsToPixels(c.height, dpiY)));
        if (c.caption) {
            EXPECT_EQ(captionOf(w), QString::fromLatin1(c.caption));
        }
        EXPECT_TRUE(w->isVisibleTo(&form));
        EXPECT_TRUE(w->isEnabled());
    }
    // The client area, fixed.
    EXPECT_EQ(form.size(), QSize(twipsToPixels(14460, dpiX), twipsToPixels(8580, dpiY)));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    // The text boxes start empty of anything but what start-up wrote.
    EXPECT_EQ(form.control<QPushButton>("pause")->text(), "Stop");
}

TEST_F(Form1Test, AtNinetySixDpiTheLayoutIsFifteenTwipsPerPixel)
{
    if (dpiX != 96 || dpiY != 96)
        GTEST_SKIP() << "screen at " << dpiX << " x " << dpiY << " dpi";
    EXPECT_EQ(form.size(), QSize(964, 572));
    EXPECT_EQ(form.view().geometry(), QRect(0, 0, 617, 569));
    EXPECT_EQ(form.plot().geometry(), QRect(624, 288, 337, 281));
    EXPECT_EQ(form.control<QWidget>("pause")->geometry().right() + 1, 961);  // 14415 twips
}

TEST_F(Form1Test, FontsAreTheSansSerifSubstituteAtTheStoredSizes)
{
    EXPECT_EQ(QFontInfo(form.font()).family(), "Liberation Sans");
    EXPECT_DOUBLE_EQ(form.font().pointSizeF(), 13.5);
    for (const ControlLayout& c : layout) {
        SCOPED_TRACE(c.name);
        const QFont font = form.control<QWidget>(c.name)->font();
        EXPECT_EQ(QFontInfo(font).family(), "Liberation Sans");
        EXPECT_DOUBLE_EQ(font.pointSizeF(), c.points);
        EXPECT_EQ(font.weight(), QFont::Normal);
        EXPECT_FALSE(font.italic());
        EXPECT_FALSE(font.underline());
        EXPECT_FALSE(font.strikeOut());
    }
}

TEST_F(Form1Test, TabMovesThroughTheInputControlsInTabIndexOrder)
{
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.control<QWidget>("Go")->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), form.control<QWidget>("Go"));
    std::vector<std::string> order;
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.push_back(QApplication::focusWidget()->objectName().toStdString());
    }
    EXPECT_EQ(order,
              (std::vector<std::string>{"Initialize", "pause", "Rtxt", "e0txt", "Thermostat", "Tsolltxt", "Go"}));
    // Labels and drawing areas never take focus.
    for (const char* name : {"window", "Distribution", "Ttxt", "Label3", "Label2(0)", "Label2(1)"})
        EXPECT_EQ(form.control<QWidget>(name)->focusPolicy() & Qt::TabFocus, 0) << name;
}

TEST_F(Form1Test, TsollBoxLiesAboveTheLabelThatReachesUnderIt)
{
    // "Tsoll=" spans 9360..10695 twips, the box starts at 10440.
    const QPoint inBoth(twipsToPixels(10560, dpiX), twipsToPixels(2280, dpiY));
    EXPECT_TRUE(form.control<QWidget>("Label2(3)")->geometry().contains(inBoth));
    EXPECT_EQ(form.childAt(inBoth), form.control<QWidget>("Tsolltxt"));
}

TEST_F(Form1Test, CentredOnTheScreenByItsOuterSize)
{
    const QRect screen = form.screen()->geometry();
    const QRect outer = form.frameGeometry();
    const WindowOrigin o = centredOrigin(pixelsToTwips(screen.width(), dpiX), pixelsToTwips(screen.height(), dpiY),
                                         pixelsToTwips(outer.width(), dpiX), pixelsToTwips(outer.height(), dpiY));
    const QPoint expected(screen.x() + twipsToPixels(o.Left, dpiX), screen.y() + twipsToPixels(o.Top, dpiY));
    EXPECT_EQ(outer.topLeft(), expected);
    // The two overhangs or margins agree to the pixel.
    const int leftMargin = outer.left() - screen.left();
    const int rightMargin = screen.right() - outer.right();
    EXPECT_LE(std::abs(leftMargin - rightMargin), 1);
    const int topMargin = outer.top() - screen.top();
    const int bottomMargin = screen.bottom() - outer.bottom();
    EXPECT_LE(std::abs(topMargin - bottomMargin), 1);
    if (screen.width() < outer.width()) {
        EXPECT_LT(outer.left(), screen.left());  // partly off the screen, not clamped
    }
}

TEST_F(Form1Test, StopWhileIdleOnlySetsTheFlag)
{
    const QImage view = form.view().image();
    form.click("pause");
    EXPECT_EQ(form.record().PauseMark, -1);
    EXPECT_EQ(form.view().image(), view);
    EXPECT_EQ(form.control<QLabel>("Ttxt")->text(), "");
    // Go clears the flag and runs until the next Stop.
    form.clickAt(2, "pause");
    form.click("Go");
    EXPECT_EQ(form.pumps(), 2);
    EXPECT_EQ(form.record().PauseMark, -1);
}

TEST_F(Form1Test, EditedRadiusWaitsForInitialize)
{
    const QImage view = form.view().image();
    form.setText("Rtxt", "0.02");
    QApplication::processEvents();
    EXPECT_EQ(form.record().R, 0.01f);
    EXPECT_EQ(form.view().image(), view);
    form.click("Initialize");
    EXPECT_EQ(form.record().R, 0.02f);
    EXPECT_NE(form.view().image(), view);
}

TEST_F(Form1Test, InitializeRedrawsFreshVelocitiesOnTheSameSites)
{
    const Record before = form.record();
    form.click("Initialize");
    EXPECT_EQ(form.record().x[17], before.x[17]);
    EXPECT_EQ(form.record().y[17], before.y[17]);
    EXPECT_NE(form.record().vx[17], before.vx[17]);  // the random sequence goes on
    EXPECT_EQ(form.view().image(), test::cleanRedraw(form.view(), form.record()));
}

TEST_F(Form1Test, RadiusTooLargeIsReportedAndChangesNothing)
{
    const Record before = form.record();
    const QImage view = form.view().image();
    form.setText("Rtxt", "1e39");
    form.click("Initialize");
    ASSERT_EQ(form.errors().size(), 1u);
    EXPECT_EQ(form.errors()[0], "Overflow: R = 1e+39 lies beyond single precision (3.4e+38)");
    EXPECT_EQ(form.record().R, before.R);
    EXPECT_EQ(form.record().x[1], before.x[1]);
    EXPECT_EQ(form.record().vx[1], before.vx[1]);
    EXPECT_EQ(form.view().image(), view);
    // Still usable.
    form.setText("Rtxt", "0.015");
    form.click("Initialize");
    EXPECT_EQ(form.errors().size(), 1u);
    EXPECT_EQ(form.record().R, 0.015f);
}

TEST(Form1ErrorBox, DefaultReportIsAModalMessageBoxNamingTheError)
{
    Form1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.findChild<QLineEdit*>("Rtxt")->setText("1e39");
    QString shown;
    bool modal = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            modal = box->isModal();
            box->accept();
        }
    });
    poll.start(5);
    QTest::mouseClick(form.findChild<QPushButton*>("Initialize"), Qt::LeftButton);
    poll.stop();
    EXPECT_EQ(shown, "Overflow: R = 1e+39 lies beyond single precision (3.4e+38)");
    EXPECT_TRUE(modal);
    EXPECT_EQ(form.record().R, 0.01f);
}

}  // namespace
}  // namespace ljgas
