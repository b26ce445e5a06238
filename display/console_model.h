#pragma once

#include "console_line.h"

#include <QAbstractListModel>

#include <cstdint>
#include <deque>
#include <functional>
#include <string_view>
#include <vector>

namespace fixwatch {

// The console's lines: a ring of the last kMaxLines received lines, kept raw, and the rows the
// view shows, each a kept line that passed the filters. A row is formatted only when the view
// asks for it, so that a tick costs the lines it adds, not the lines on screen or kept.
class ConsoleModel : public QAbstractListModel {
    Q_OBJECT

public:
    static constexpr std::size_t kMaxLines = 20000;

    explicit ConsoleModel(QObject* parent = nullptr);

    // Keeps one new line; no row changes until CatchUp or Refilter.
    void Keep(std::string_view line, bool badChecksum, Talkers talkers, std::int64_t nowMs);
    // Removes the rows of lines that have dropped off the ring, in one removal.
    void DropGone();
    // DropGone, then rows for the lines kept since the last catch-up that `shown` accepts, in
    // one insertion for the whole batch.
    void CatchUp(const std::function<bool(const ConsoleLine&)>& shown);
    // Rows again for every kept line that `shown` accepts.
    void Refilter(const std::function<bool(const ConsoleLine&)>& shown);
    // Forgets every kept line and row.
    void Clear();

    std::size_t KeptLines() const { return count_; }
    std::uint64_t ReceivedLines() const { return sequence_; }
    // The line a row shows.
    const ConsoleLine& LineOf(int row) const;
    // "HH:mm:ss.zzz  ", the local time a line came at.
    QString TimeText(std::int64_t receivedMs) const;
    // A row as plain text: time, the line, what was cut off, the checksum note.
    QString RowText(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const ConsoleLine& At(std::size_t i) const { return ring_[(first_ + i) % ring_.size()]; }
    std::uint64_t OldestSequence() const { return sequence_ - count_; }

    std::vector<ConsoleLine> ring_;
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    std::uint64_t sequence_ = 0;              // lines received since the model was made
    std::uint64_t caughtUpTo_ = 0;            // lines before this sequence number were offered as rows
    std::deque<std::uint64_t> rows_;          // the sequence numbers of the shown lines, oldest first
    mutable std::int64_t timeTextSecond_ = 0; // the second timeTextOfSecond_ is the local time of
    mutable QString timeTextOfSecond_;
};

} // namespace fixwatch
