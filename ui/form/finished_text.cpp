#include "ui/form/finished_text.h"

#include <QLineEdit>
#include <utility>

namespace ljgas {

FinishedText::FinishedText(QLineEdit& box, std::function<void()> changed)
    : QObject(&box), box_(box), changed_(std::move(changed)), text_(box.text().toStdString())
{
    connect(&box, &QLineEdit::editingFinished, this, [this] { finish(); });
    // The box counts as modified from the first key typed until its edit is
    // finished; setText, the program's own writing, leaves it unmodified.
    connect(&box, &QLineEdit::textChanged, this, [this] {
        if (!box_.isModified()) {
            text_ = box_.text().toStdString();
            changed_();
        }
    });
}

void FinishedText::finish()
{
    text_ = box_.text().toStdString();
    box_.setModified(false);
    changed_();
}

}  // namespace ljgas
