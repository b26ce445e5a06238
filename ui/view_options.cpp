#include "view_options.h"

#include "main_form.h"
#include "program_arguments.h"
#include "serial_settings.h"

#include <QEvent>
#include <QTabWidget>
#include <QTimer>

#include <functional>
#include <utility>

namespace fixwatch {
namespace {

// Presses Start once its window has been shown and has come back to the event loop, then
// goes: the message box of a port that fails then opens over the window.
class StartWhenShown : public QObject {
public:
    StartWhenShown(MainForm& form, std::function<void()> start) : QObject(&form), form_(form), start_(std::move(start))
    {
        if (form.isVisible())
            QTimer::singleShot(0, this, &StartWhenShown::Start);
        else
            form.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &form_ && event->type() == QEvent::Show) {
            form_.removeEventFilter(this);
            QTimer::singleShot(0, this, &StartWhenShown::Start);
        }
        return false;
    }

private:
    void Start()
    {
        deleteLater();
        start_();
    }

    MainForm& form_;
    std::function<void()> start_;
};

} // namespace

ViewOptions ReadViewOptions(const ProgramArguments& arguments)
{
    ViewOptions options;
    if (arguments.IsSet(QStringLiteral("coordinates"))) {
        const std::string value = arguments.Value(QStringLiteral("coordinates")).toStdString();
        if (const auto format = CoordinateFormatNamed(value))
            options.coordinates = *format;
        else
            options.error = "fixwatch: --coordinates takes sent, dd, dms, utm, mgrs or locator, not \""
                            + value + "\"";
    }
    if (arguments.IsSet(QStringLiteral("units"))) {
        const std::string value = arguments.Value(QStringLiteral("units")).toStdString();
        if (const auto units = UnitSystemNamed(value))
            options.units = *units;
        else
            options.error = "fixwatch: --units takes metric, imperial or nautical, not \"" + value + "\"";
    }
    if (arguments.IsSet(QStringLiteral("tab")))
        options.tab = arguments.Value(QStringLiteral("tab")).toLower().toStdString();
    options.start = arguments.IsSet(QStringLiteral("start"));
    if (arguments.IsSet(QStringLiteral("compare-with"))) {
        const QString value = arguments.Value(QStringLiteral("compare-with"));
        bool number = false;
        const int port = value.toInt(&number);
        if (number && port >= 1 && port <= kPortCount)
            options.compareWith = port;
        else
            options.error = "fixwatch: --compare-with takes a port number from 1 to " + std::to_string(kPortCount)
                            + ", not \"" + value.toStdString() + "\"";
    }
    return options;
}

namespace {

// A tab's short name: the first word of its title in lower case ("General Info": general).
QString TabName(const QTabWidget& tabs, int index)
{
    return tabs.tabText(index).section(QLatin1Char(' '), 0, 0).toLower();
}

} // namespace

bool ApplyViewOptions(MainForm& form, ViewOptions& options)
{
    int tab = -1;
    if (!options.tab.empty()) {
        QStringList names;
        for (int i = 0; i < form.SSTab->count(); ++i) {
            names << TabName(*form.SSTab, i);
            if (names.back() == QString::fromStdString(options.tab))
                tab = i;
        }
        if (tab < 0) {
            const QString last = names.takeLast();
            options.error = "fixwatch: --tab takes " + names.join(QStringLiteral(", ")).toStdString()
                            + " or " + last.toStdString() + ", not \"" + options.tab + "\"";
            return false;
        }
    }
    form.MenuCoordinate_Click(static_cast<int>(options.coordinates));
    form.MenuUnit_Click(static_cast<int>(options.units));
    if (tab >= 0)
        form.SSTab->setCurrentIndex(tab);
    if (options.compareWith > 0)
        form.CompareWith(options.compareWith);
    if (options.start)
        new StartWhenShown(form, [&form] { form.Cmd_StartStop_Click(0); }); // owned by the form
    return true;
}

} // namespace fixwatch
