#pragma once

#include "console_line.h"
#include "sentence_stats.h"

#include <QRegularExpression>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTextCursor;

namespace fixwatch {

// The Console tab: every received line with its receive time, the last kMaxLines of them,
// and the inventory of identifiers under it. Lines are kept raw as they come; they are
// formatted only when the view is shown, in one batch per Flush (once a tick).
class ConsoleView : public QWidget {
    Q_OBJECT

public:
    static constexpr std::size_t kMaxLines = 20000;

    explicit ConsoleView(QWidget* parent = nullptr);

    // A new acquisition: the inventory starts again and reads `talkers`.
    void Begin(Talkers talkers);
    // One new line, as the session hands it on.
    void Add(std::string_view line, bool badChecksum);
    // Shows what came since the last call, when the view is visible and not paused.
    void Flush();

    // Milliseconds since the epoch; a seam for tests.
    std::function<std::int64_t()> clock;
    // Asks where to save the shown lines; an empty name cancels. A seam for tests.
    std::function<QString()> askSaveFile;

    std::size_t KeptLines() const { return count_; }
    std::uint64_t ReceivedLines() const { return sequence_; }
    const SentenceStats& Stats() const { return stats_; }
    QString ShownText() const;
    bool Paused() const { return paused_; }

    QPlainTextEdit* Txt_Console = nullptr;
    QLineEdit* Txt_Talker = nullptr;
    QLineEdit* Txt_Type = nullptr;
    QLineEdit* Txt_Filter = nullptr;
    QLabel* Lab_FilterError = nullptr;
    QCheckBox* Chk_BadOnly = nullptr;
    QPushButton* Cmd_Pause = nullptr;
    QPushButton* Cmd_Clear = nullptr;
    QPushButton* Cmd_Copy = nullptr;
    QPushButton* Cmd_Save = nullptr;
    QLabel* Lab_SaveResult = nullptr;
    QTableWidget* Grd_Inventory = nullptr;

public slots:
    void Cmd_Pause_Click();
    void Cmd_Clear_Click();
    void Cmd_Copy_Click();
    void Cmd_Save_Click();
    void FilterChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    const ConsoleLine& At(std::size_t i) const { return ring_[(first_ + i) % ring_.size()]; }
    bool Shown(const ConsoleLine& line) const;
    void Append(QTextCursor& cursor, const ConsoleLine& line);
    // "HH:mm:ss.zzz  ", the local time a line came at.
    QString TimeText(std::int64_t receivedMs);
    void Rebuild();
    void ShowInventory();

    std::vector<ConsoleLine> ring_;
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    std::uint64_t sequence_ = 0;  // lines received since the view was made
    std::uint64_t shownUpTo_ = 0; // lines before this sequence number were looked at by the view
    bool paused_ = false;
    bool regexValid_ = true;
    QRegularExpression filter_;
    SentenceStats stats_;
    std::int64_t timeTextSecond_ = 0; // the second timeTextOfSecond_ is the local time of
    QString timeTextOfSecond_;
};

} // namespace fixwatch
