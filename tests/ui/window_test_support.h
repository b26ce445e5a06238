#pragma once

// Helpers for the tests of the main window: answering its modal dialogs from inside their
// event loops, feeding it sentences, pointing a port at a test's own device, and finding the
// window's controls by their names, as its user knows them. It brings the widget classes of
// those controls too, which main_form.h only declares.
#include "comm_control.h"
#include "environment_variable.h"
#include "file_contents.h"
#include "fix_fields.h"
#include "qt_print.h"
#include "sealed.h"
#include "main_form.h"
#include "nmea_interpreter.h"
#include "window_controls.h"

#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace fixwatch::test {

// What the last answered message box said, and its text format.
struct Answer {
    QString text;
    Qt::TextFormat format = Qt::AutoText;
};

// Answers the next modal dialog (typing `typed` into an input box, then accepting the
// message box that follows), so that no test can hang on one. It polls, as the code under
// test may run event loops of its own before it shows one, and gives up after ten seconds.
inline void AnswerNextDialog(Answer& answer, const QString& typed = QString())
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, tries = 0, &answer, typed]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            input->setTextValue(typed);
            input->accept();
            return; // the message box comes next
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            answer.text = box->text();
            answer.format = box->textFormat();
            box->accept();
            poll->deleteLater();
            return;
        }
        if (++tries > 2000)
            poll->deleteLater();
    });
    poll->start();
}

// The texts of `controls` (labels, menu entries), "|" between them, to compare a row at once.
template <typename Controls>
QString Texts(const Controls& controls)
{
    QStringList texts;
    for (const auto* control : controls)
        texts << control->text();
    return texts.join(QLatin1Char('|'));
}
inline QString Texts(std::initializer_list<const QLabel*> labels) { return Texts<>(labels); }

// Hands `sentences` to the window as one poll's text, a line each.
inline void Feed(MainForm& form, const std::vector<std::string>& sentences)
{
    std::string text;
    for (const auto& sentence : sentences)
        text += sentence + "\r\n";
    form.HandleInput(text);
}

// The window's communications control: its link state, its port list and its replay clock.
inline CommControl& Comm(const MainForm& form) { return *Control<CommControl>(form, QStringLiteral("MSComm")); }

inline QTabWidget& Tabs(const MainForm& form) { return *Control<QTabWidget>(form, QStringLiteral("SSTab")); }

// Brings the tab at `index` to the front and lets it draw, as a click on its title does.
inline void ShowTab(const MainForm& form, int index)
{
    Tabs(form).setCurrentIndex(index);
    QCoreApplication::processEvents();
}

// The status bar's texts: the source, the link's state and the logger.
enum StatusField : std::size_t { kSourceStatus = 0,
                                 kLinkStatus = 1,
                                 kLoggerStatus = 2 };

inline QString StatusText(const MainForm& form, StatusField field)
{
    return Control<QLabel>(form, QStringLiteral("Lab_Status"), field)->text();
}

inline QLabel* FixLabel(const MainForm& form, FixField field)
{
    return Control<QLabel>(form, QStringLiteral("Lab_Posizione"), field);
}

inline QLabel* FixInfoLabel(const MainForm& form, FixInfoField field)
{
    return Control<QLabel>(form, QStringLiteral("Lab_PosizioneInfo"), field);
}

// Chooses the menu entry named `name`, as a click on it does.
inline void Trigger(const MainForm& form, const QString& name) { Control<QAction>(form, name)->trigger(); }

// Whether the window acquires: Stop is the button that can be pressed.
inline bool Acquiring(const MainForm& form)
{
    return Control<QPushButton>(form, QStringLiteral("Cmd_StartStop"), 1)->isEnabled();
}

// Runs the reading timer's tick now.
inline void TickReading(const MainForm& form) { Tick(Control<QTimer>(form, QStringLiteral("Timer_Lett"))); }

// A temporary folder that FIXWATCH_LOG_DIR names for the life of the object.
struct LogFolder {
    QString Path(const QString& name) const { return folder.path() + "/" + name; }

    QTemporaryDir folder;
    Variable log{"FIXWATCH_LOG_DIR", folder.path().toLocal8Bit()};
};

// Points port `port` at a device or address: FIXWATCH_COM<port>.
struct PortVariable : Variable {
    PortVariable(int port, const std::string& value)
        : Variable("FIXWATCH_COM" + QByteArray::number(port), QByteArray::fromStdString(value))
    {
    }
};

// Clicks Start; whether the window acquires.
inline bool Start(MainForm& form)
{
    Control<QPushButton>(form, QStringLiteral("Cmd_StartStop"), 0)->click();
    return Acquiring(form);
}

// Clicks Stop, when it can be clicked.
inline void Stop(MainForm& form) { Control<QPushButton>(form, QStringLiteral("Cmd_StartStop"), 1)->click(); }

// Ticks, the event loop running between, until `done` holds or `limitMs` has passed.
template <typename Condition>
bool TickUntil(MainForm& form, Condition done, int limitMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        TickReading(form);
    }
    return done();
}

// A window whose port list knows no serial port and no gpsd, whatever this machine has, so
// that only FIXWATCH_COMn names devices.
inline void ForgetMachinePorts(MainForm& form)
{
    Comm(form).Ports().SetQueries([] { return std::vector<SerialPortDescription>{}; }, {});
    Comm(form).Ports().Refresh();
}

} // namespace fixwatch::test
