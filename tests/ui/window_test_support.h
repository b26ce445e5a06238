#pragma once

// Helpers for the tests of the main window: answering its modal dialogs from inside their
// event loops, feeding it sentences, and pointing a port at a test's own device.
#include "../qt_print.h"
#include "main_form.h"
#include "nmea_interpreter.h"

#include <QApplication>
#include <QByteArray>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

#include <memory>
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
// message box that follows), so that no test can hang on one. It looks for the dialog every
// few milliseconds, as the code under test may run event loops of its own before it shows
// one, and gives up after ten seconds.
inline void AnswerNextDialog(Answer& answer, const QString& typed = QString())
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, &answer, typed] {
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
        if (++*tries > 2000)
            poll->deleteLater();
    });
    poll->start();
}

inline void AnswerNextDialog()
{
    static Answer ignored;
    AnswerNextDialog(ignored);
}

// "$" + body + "*" + its checksum.
inline std::string Sealed(std::string_view body)
{
    const std::string text = "$" + std::string(body);
    return text + "*" + NmeaInterpreter().GetChecksum(text);
}

inline void Feed(MainForm& form, const std::vector<std::string>& sentences)
{
    for (const auto& sentence : sentences)
        form.GPS->Parse(sentence);
}

// Sets FIXWATCH_COM<port> for the life of the object.
class PortVariable {
public:
    PortVariable(int port, const std::string& value) : name_("FIXWATCH_COM" + QByteArray::number(port))
    {
        qputenv(name_.constData(), QByteArray::fromStdString(value));
    }
    ~PortVariable() { qunsetenv(name_.constData()); }
    PortVariable(const PortVariable&) = delete;
    PortVariable& operator=(const PortVariable&) = delete;

private:
    QByteArray name_;
};

// A window whose port list knows no serial port and no gpsd, whatever this machine has, so
// that only FIXWATCH_COMn names devices.
inline void ForgetMachinePorts(MainForm& form)
{
    form.MSComm.Ports().SetQueries([] { return std::vector<SerialPortDescription>{}; }, {});
    form.MSComm.Ports().Refresh();
}

} // namespace fixwatch::test
