// The Console tab's wiring: each new line of the session to the console, the console's batch
// once a poll, and a fresh inventory at every Start.
#include "console_view.h"
#include "main_form.h"

#include <QTabWidget>

namespace fixwatch {
namespace {

class ConsoleFeed : public LineConsumer {
public:
    explicit ConsoleFeed(ConsoleView& console) : console_(console) {}
    void LineArrived(std::string_view line, const LineFacts& facts) override { console_.Add(line, facts.badChecksum); }

private:
    ConsoleView& console_;
};

} // namespace

void MainForm::BuildConsole()
{
    Frm_Console = new ConsoleView;
    SSTab->addTab(Frm_Console, QStringLiteral("Console"));
    consoleFeed_ = std::make_unique<ConsoleFeed>(*Frm_Console);
    session_.AddConsumer(consoleFeed_.get());
}

int MainForm::ConsoleTab() const { return SSTab->indexOf(Frm_Console); }

void MainForm::ConsoleBegin()
{
    if (Frm_Console)
        Frm_Console->Begin(session_.ReadTalkers());
}

void MainForm::ShowConsole()
{
    if (Frm_Console)
        Frm_Console->Flush();
}

} // namespace fixwatch
