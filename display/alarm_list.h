#pragma once

#include "alarm_kind.h"

#include <QDateTime>
#include <QString>
#include <QWidget>

#include <array>
#include <optional>

class QTableWidget;

namespace fixwatch {

// The Alarms tab: every alarm raised and cleared, newest last, with its UTC time, kind and
// text, and the notes of the alarm machinery ("Desktop notifications unavailable: ...");
// and the status bar's text of the alarms raised now, the most serious first. Every text is
// plain text, and the list keeps at most kMaxRows rows.
class AlarmList : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMaxRows = 2000;
    // The columns of the list.
    static constexpr int kTimeColumn = 0;
    static constexpr int kKindColumn = 1;
    static constexpr int kTextColumn = 2;

    explicit AlarmList(QWidget* parent = nullptr);

    void Raised(const QDateTime& at, AlarmKind kind, const QString& text);
    void Cleared(const QDateTime& at, AlarmKind kind, const QString& text);
    // The raised alarm's text as it stands now (the anchor distance grows as it drags).
    void Update(AlarmKind kind, const QString& text);
    // A line of the list that is not an alarm.
    void Note(const QDateTime& at, const QString& text);

    // "Fix lost · 57 m from the anchor point (limit 30 m)"; empty when nothing is raised.
    QString StatusText() const;
    int Rows() const;
    QTableWidget* Table() const { return table_; }

private:
    void AddRow(const QDateTime& at, const QString& kind, const QString& text, bool raised);

    QTableWidget* table_ = nullptr;
    std::array<std::optional<QString>, kAlarmKinds.size()> raised_{};
};

} // namespace fixwatch
