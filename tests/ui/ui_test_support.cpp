#include "ui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>

#include "engine/record.h"
#include "platform/picture_box.h"
#include "platform/raster.h"
#include "ui/form/particle_view.h"

namespace ljgas::test {

TestSettings::TestSettings(const char* application)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
    QApplication::setOrganizationName(QStringLiteral("ljgas-tests"));
    QApplication::setApplicationName(QString::fromLatin1(application));
}

ScriptedForm::ScriptedForm()
{
    setErrorReporter([this](const QString& message) { errors_.push_back(message); });
}

ScriptedForm::ScriptedForm(QMainWindow& mainWindow) : Form1(mainWindow)
{
    setErrorReporter([this](const QString& message) { errors_.push_back(message); });
}

void ScriptedForm::at(int pump, std::function<void()> action) { script_[pump] = std::move(action); }

void ScriptedForm::click(const char* controlName)
{
    auto* button = control<QAbstractButton>(controlName);
    if (!button)
        throw std::logic_error(controlName);
    QTest::mouseClick(button, Qt::LeftButton);
}

void ScriptedForm::clickAt(int pump, const char* controlName)
{
    at(pump, [this, controlName] { click(controlName); });
}

PictureBox& ScriptedForm::view() const { return *control<PictureBox>("window"); }

PictureBox& ScriptedForm::plot() const { return *control<PictureBox>("Distribution"); }

void ScriptedForm::setText(const char* box, const char* text)
{
    control<QLineEdit>(box)->setText(QString::fromLatin1(text));
}

void ScriptedForm::doEvents()
{
    ++pumps_;
    // A run that should have ended long ago: fail instead of hanging.
    if (pumps_ >= maxPumps) {
        ADD_FAILURE() << "run still going after " << pumps_ << " steps";
        pause_Click();
    }
    const auto action = script_.find(pumps_);
    if (action != script_.end())
        QTimer::singleShot(0, this, action->second);
    Form1::doEvents();
}

void ScriptedForm::setUpPlot(const Record& rec)
{
    ++runStarts_;
    Form1::setUpPlot(rec);
}

void ScriptedForm::redrawPlot(const Record& rec)
{
    ++plotRedraws_;
    Form1::redrawPlot(rec);
}

long long countPixels(const QImage& image, QRgb colour)
{
    long long count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            count += line[x] == colour ? 1 : 0;
    }
    return count;
}

QRgb pixelAt(const PictureBox& box, double x, double y)
{
    const QPointF p = box.toPixel(x, y);
    return box.image().pixel(static_cast<int>(std::floor(p.x() + 0.5)), static_cast<int>(std::floor(p.y() + 0.5)));
}

long long circlePixelCount(double r)
{
    const int side = 2 * static_cast<int>(std::ceil(r)) + 5;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(black);
    rasterCircle(image, side / 2, side / 2, r, white);
    return countPixels(image, white);
}

QImage cleanRedraw(const PictureBox& box, const Record& rec)
{
    PictureBox copy;
    copy.resize(box.size());
    copy.setBackColor(box.BackColor());
    redrawParticles(copy, rec);
    return copy.image();
}

}  // namespace ljgas::test
