#pragma once

// Helpers for the tests of the main window: answering its modal dialogs from inside their
// event loops, feeding it sentences, and pointing a port at a test's own device. It brings
// the widget classes of the window's members too, which main_form.h only declares.
#include "environment_variable.h"
#include "file_contents.h"
#include "qt_print.h"
#include "sealed.h"
#include "main_form.h"
#include "nmea_interpreter.h"

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

inline void AnswerNextDialog()
{
    static Answer ignored;
    AnswerNextDialog(ignored);
}

// The texts of `labels`, "|" between them, to compare a row of labels at once.
template <typename Labels>
QString Texts(const Labels& labels)
{
    QStringList texts;
    for (const QLabel* label : labels)
        texts << label->text();
    return texts.join(QLatin1Char('|'));
}
inline QString Texts(std::initializer_list<const QLabel*> labels) { return Texts<>(labels); }

inline void Feed(MainForm& form, const std::vector<std::string>& sentences)
{
    for (const auto& sentence : sentences)
        form.Session().Interpreter()->Parse(sentence);
}

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
    form.Cmd_StartStop_Click(0);
    return form.AcquisitionRunning();
}

// Ticks, the event loop running between, until `done` holds or `limitMs` has passed.
template <typename Condition>
bool TickUntil(MainForm& form, Condition done, int limitMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        form.Timer_Lett_Timer();
    }
    return done();
}

// A window whose port list knows no serial port and no gpsd, whatever this machine has, so
// that only FIXWATCH_COMn names devices.
inline void ForgetMachinePorts(MainForm& form)
{
    form.Comm().Ports().SetQueries([] { return std::vector<SerialPortDescription>{}; }, {});
    form.Comm().Ports().Refresh();
}

} // namespace fixwatch::test
