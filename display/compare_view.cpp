#include "compare_view.h"

#include "live_comparison.h"

#include <QLabel>
#include <QVBoxLayout>

namespace fixwatch {

CompareView::CompareView(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    Lab_CompareEmpty = new QLabel(QStringLiteral("No epoch in common yet"));
    Lab_CompareEmpty->setObjectName(QStringLiteral("Lab_CompareEmpty"));
    Lab_CompareEmpty->setTextFormat(Qt::PlainText);
    layout->addWidget(Lab_CompareEmpty);
    layout->addStretch();
}

void CompareView::SetComparison(const LiveComparison* comparison) { comparison_ = comparison; }

void CompareView::MarkChanged() {}

void CompareView::Redraw() {}

} // namespace fixwatch
