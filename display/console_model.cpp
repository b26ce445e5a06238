#include "console_model.h"

#include <QDateTime>

#include <algorithm>

namespace fixwatch {

ConsoleModel::ConsoleModel(QObject* parent)
    : QAbstractListModel(parent)
{
    ring_.resize(kMaxLines);
}

void ConsoleModel::Keep(std::string_view line, bool badChecksum, Talkers talkers, std::int64_t nowMs)
{
    std::size_t slot;
    if (count_ < ring_.size()) {
        slot = (first_ + count_) % ring_.size();
        ++count_;
    } else {
        slot = first_; // the oldest line drops off
        first_ = (first_ + 1) % ring_.size();
    }
    ConsoleLine& kept = ring_[slot];
    kept.Assign(line, badChecksum, talkers, nowMs);
    kept.sequence = sequence_++;
}

void ConsoleModel::DropGone()
{
    const auto dropped = std::lower_bound(rows_.begin(), rows_.end(), OldestSequence()) - rows_.begin();
    if (dropped > 0) {
        beginRemoveRows(QModelIndex(), 0, static_cast<int>(dropped) - 1);
        rows_.erase(rows_.begin(), rows_.begin() + dropped);
        endRemoveRows();
    }
}

void ConsoleModel::CatchUp(const std::function<bool(const ConsoleLine&)>& shown)
{
    DropGone();
    const std::uint64_t oldest = OldestSequence();
    std::vector<std::uint64_t> added;
    for (std::uint64_t s = std::max(caughtUpTo_, oldest); s < sequence_; ++s) {
        if (shown(At(static_cast<std::size_t>(s - oldest))))
            added.push_back(s);
    }
    caughtUpTo_ = sequence_;
    if (added.empty())
        return;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(added.size()) - 1);
    rows_.insert(rows_.end(), added.begin(), added.end());
    endInsertRows();
}

void ConsoleModel::Refilter(const std::function<bool(const ConsoleLine&)>& shown)
{
    beginResetModel();
    rows_.clear();
    const std::uint64_t oldest = OldestSequence();
    for (std::size_t i = 0; i < count_; ++i) {
        if (shown(At(i)))
            rows_.push_back(oldest + i);
    }
    caughtUpTo_ = sequence_;
    endResetModel();
}

void ConsoleModel::Clear()
{
    beginResetModel();
    first_ = 0;
    count_ = 0;
    rows_.clear();
    caughtUpTo_ = sequence_;
    endResetModel();
}

const ConsoleLine& ConsoleModel::LineOf(int row) const
{
    // A row whose line dropped off before DropGone removed it shows nothing rather than a
    // newer line in its slot.
    static const ConsoleLine kGone;
    const std::uint64_t sequence = rows_[static_cast<std::size_t>(row)];
    if (sequence < OldestSequence())
        return kGone;
    return At(static_cast<std::size_t>(sequence - OldestSequence()));
}

QString ConsoleModel::TimeText(std::int64_t receivedMs) const
{
    // The local time of a second is worked out once for all the lines of that second: the
    // rows on screen share a few seconds, and each conversion asks the time zone again.
    const std::int64_t second = receivedMs >= 0 ? receivedMs / 1000 : (receivedMs - 999) / 1000;
    if (second != timeTextSecond_ || timeTextOfSecond_.isEmpty()) {
        timeTextSecond_ = second;
        timeTextOfSecond_ = QDateTime::fromMSecsSinceEpoch(second * 1000).toString(QStringLiteral("HH:mm:ss."));
    }
    return timeTextOfSecond_ + QStringLiteral("%1  ").arg(receivedMs - second * 1000, 3, 10, QLatin1Char('0'));
}

QString ConsoleModel::RowText(int row) const
{
    const ConsoleLine& line = LineOf(row);
    return TimeText(line.receivedMs) + VisibleText(line.text) + CutNote(line) + ChecksumNote(line);
}

int ConsoleModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant ConsoleModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return RowText(index.row());
    default: return {};
    }
}

} // namespace fixwatch
