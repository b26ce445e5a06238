#pragma once

#include "console_line.h"
#include "console_model.h"
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
class QListView;
class QPushButton;
class QTableWidget;
class QTimer;

namespace fixwatch {

// The Console tab: every received line with its receive time, the last kMaxLines of them,
// and the inventory of identifiers under it. Lines are kept raw as they come; the view takes
// the new ones in one batch per Flush (once a tick) while it is shown, and formats only the
// rows on screen when it paints.
class ConsoleView : public QWidget {
    Q_OBJECT

public:
    static constexpr std::size_t kMaxLines = ConsoleModel::kMaxLines;

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

    std::size_t KeptLines() const { return model_.KeptLines(); }
    std::uint64_t ReceivedLines() const { return model_.ReceivedLines(); }
    // The rows the view holds, without formatting them.
    int ShownLines() const { return model_.rowCount(); }
    const SentenceStats& Stats() const { return stats_; }
    const ConsoleModel& Model() const { return model_; }
    QString ShownText() const;
    bool Paused() const { return paused_; }

    QListView* Lst_Console = nullptr;
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
    // Once a second while shown: "last seen" and the rates go on with the clock when no
    // line comes (a receiver gone quiet, a replay at its end).
    void Tmr_Inventory_Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool Shown(const ConsoleLine& line) const;
    void Rebuild();
    void ShowInventory();

    QTimer* Tmr_Inventory = nullptr;
    ConsoleModel model_;
    bool paused_ = false;
    bool regexValid_ = true;
    QRegularExpression filter_;
    SentenceStats stats_;
    // The filters as typed, read once per change rather than once per line.
    QString talker_, type_;
};

} // namespace fixwatch
