#pragma once

#include "receiver_source.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <string>
#include <string_view>

namespace fixwatch {

// The receive-only serial link to a receiver on one device (/dev/ttyUSB0, /dev/ttyACM0,
// /dev/ttyS0, a pseudo-terminal...). The line settings keep the names of a classic serial
// communications control: Settings, DTREnable, RTSEnable, NullDiscard and Handshaking are
// written before Open and applied by it. A write that cannot be honoured returns false and
// changes nothing; Reason() says why.
//
// Received bytes are handed out one byte per character (ISO-8859-1), in arrival order,
// each once, at most kMaxReadLength per Read (the newest win). Nothing is ever sent.
//
// A device that disappears while open (a USB receiver unplugged, the far end of a
// pseudo-terminal closed) is closed at its first failed read and Lost is emitted once; a
// read that fails on a line that is still there (a notice whose bytes were taken already) is
// no loss. Reconnect then opens the same path again with the same settings, as udev
// re-creates the node (or the /dev/serial/by-id link) when the receiver comes back, and
// what came before the loss is still handed out.
class SerialPort : public ReceiverSource {
    Q_OBJECT

public:
    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    // The device to open; false while the port is open.
    bool SetDevice(const QString& path);
    QString Device() const { return devicePath_; }

    // "baud,parity,data,stop", e.g. "4800,N,8,1": baud a positive whole number, parity one
    // of N E O M S (either case), data bits 5 to 8, stop bits 1, 1.5 or 2; blanks around a
    // field are allowed. 1.5 stop bits exist only with 5 data bits. False for an unusable
    // text, and on an open port when the device refuses it.
    bool Settings(std::string_view settings);
    std::string Settings() const { return settingsText_; }

    // DTR and RTS are remembered and applied when the port opens (at once when it is open).
    // RTS is left to the line while RTS/CTS handshaking is on. A device without modem
    // lines may refuse them; that is not an error.
    void DTREnable(bool enable);
    bool DTREnable() const { return dtrEnable_; }
    void RTSEnable(bool enable);
    bool RTSEnable() const { return rtsEnable_; }

    // Drop received NUL bytes from what Read hands out.
    void NullDiscard(bool discard) { nullDiscard_ = discard; }
    bool NullDiscard() const { return nullDiscard_; }

    // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both; false for another value, and on an open port
    // when the device refuses it.
    bool Handshaking(int value);
    int Handshaking() const { return handshaking_; }

    // The line settings in the short form people use, "4800 8N1", "9600 7E2".
    static QString ShortSettings(std::string_view settings);

    // ReceiverSource. Open applies the settings written before; opening an open port
    // changes nothing and succeeds.
    bool Open() override;
    bool Reconnect() override;
    std::string Read() override;
    void Close() override;
    bool IsOpen() const override;
    QString Reason() const override { return reason_; }
    QString Name() const override { return devicePath_; }
    QString Description() const override;

private:
    struct LineSettings {
        qint32 baudRate = 9600;
        QSerialPort::DataBits dataBits = QSerialPort::Data8;
        QSerialPort::Parity parity = QSerialPort::NoParity;
        QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    };

    static bool ParseSettings(std::string_view text, LineSettings& settings, QString& reason);

    bool ApplyLineSettings();
    bool ApplyHandshaking();
    void ApplyModemLines();
    void ApplyWakeThreshold();
    bool Accepted(bool result, const QString& what);
    bool RtsHandshake() const { return handshaking_ == 2 || handshaking_ == 3; }

    void OnErrorOccurred(QSerialPort::SerialPortError error);
    void OnReadyRead();
    void PauseReading(qint64 milliseconds);
    void ResumeReading();
    // How long the line may be left to the kernel at its baud rate.
    qint64 QuietMs() const;
    // After a Read: leaves a slow line to the kernel until about the next one.
    void QuietWhileSlow();
    // Whether the open device still gives bytes after Qt reported a failed read.
    bool StillAnswers();
    void CloseLostDevice();
    void TakeBuffered();
    // Takes Qt's buffer, then what the kernel holds, within a bound, in order; false when the
    // device failed to give bytes (an end of file or an error other than "nothing now").
    bool Drain();
    // Appends received bytes (without NULs when they are discarded), keeping the newest.
    void Keep(const QByteArray& bytes);
    void Keep(std::string_view bytes);

    QSerialPort port_{this}; // a child, so that findChildren reaches its notifiers
    QString devicePath_;
    QString reason_;
    std::string received_; // read from the device, not yet handed out
    std::string settingsText_ = "9600,N,8,1";
    LineSettings lineSettings_;
    int handshaking_ = 0;
    bool dtrEnable_ = false;
    bool rtsEnable_ = false;
    bool nullDiscard_ = false;
    bool pseudoTerminal_ = false;
    bool applying_ = false;            // our own setting calls run: their errors are handled there
    QElapsedTimer sinceDrained_;       // since the line was last read on its own notice
    QTimer resume_;                    // ends a pause in reading the line
    QElapsedTimer sinceRead_;          // since the last Read
    std::size_t drainedSinceRead_ = 0; // bytes taken from the device since then
};

// Why a device could not be opened, in the user's words, from the error number the open
// gave (ENOENT, EACCES, EBUSY...): "Cannot open /dev/ttyUSB0: permission denied. Add your
// user to the dialout group and log in again."
QString OpenFailureReason(const QString& device, int error);

} // namespace fixwatch
