#include "finished_text.h"

#include <QLineEdit>

namespace ljgas {

FinishedText::FinishedText(QLineEdit& box) : QObject(&box), box_(box), text_(box.text().toStdString())
{
    connect(&box, &QLineEdit::editingFinished, this, [this] { finish(); });
    // The box counts as modified from the first key typed until its edit is
    // finished; setText, the program's own writing, leaves it unmodified.
    connect(&box, &QLineEdit::textChanged, this, [this] {
        if (!box_.isModified())
            text_ = box_.text().toStdString();
    });
}

void FinishedText::finish()
{
    text_ = box_.text().toStdString();
    box_.setModified(false);
}

}  // namespace ljgas
