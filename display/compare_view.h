#pragma once

#include <QWidget>

class QLabel;

namespace fixwatch {

class LiveComparison;

// The figures of the Compare tab: receiver B against receiver A per signal, B's offset from
// A, and each receiver's availability. Redrawn at most twice a second and only while shown.
class CompareView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRedrawMs = 500;

    explicit CompareView(QWidget* parent = nullptr);

    // The comparison to show; it must outlive the view, or be replaced first (nullptr: none).
    void SetComparison(const LiveComparison* comparison);
    // The comparison changed: shown at the next redraw.
    void MarkChanged();
    // Redraws now, as the timer would; for tests and screenshots.
    void Redraw();

private:
    const LiveComparison* comparison_ = nullptr;
    QLabel* Lab_CompareEmpty = nullptr;
};

} // namespace fixwatch
