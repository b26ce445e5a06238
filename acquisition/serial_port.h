#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>

#include <string>
#include <string_view>

namespace fixwatch {

// The receive-only serial link. Its operations keep the names and the order of use of a
// classic serial communications control: the caller writes CommPort, Settings, DTREnable,
// RTSEnable, NullDiscard and Handshaking to a closed port, then PortOpen(true); it polls
// Input; PortOpen(false) closes. A write that cannot be honoured returns false and changes
// nothing; the reason is in ErrorText().
//
// Received bytes are handed out one byte per character (ISO-8859-1), in arrival order, each
// once. Nothing is ever sent on the line.
//
// A device that disappears while open (a USB receiver unplugged, the far end of a
// pseudo-terminal closed) is closed at its first read or resource error: from then on
// PortOpen() is false, Input gives what had arrived before and then nothing, and
// DeviceLost is emitted once.
class SerialPort : public QObject {
    Q_OBJECT

public:
    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    // Received data is kept without limit until read, so InBufferSize is only the smallest
    // amount the port holds; RThreshold is kept for the caller and otherwise unused, as
    // reading is done by polling.
    void InBufferSize(int size) { inBufferSize_ = size; }
    int InBufferSize() const { return inBufferSize_; }
    void RThreshold(int count) { rThreshold_ = count; }
    int RThreshold() const { return rThreshold_; }

    // Port number 1..255; false for another number or while the port is open.
    bool CommPort(int port);
    int CommPort() const { return commPort_; }

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

    // Drop received NUL bytes from Input.
    void NullDiscard(bool discard) { nullDiscard_ = discard; }
    bool NullDiscard() const { return nullDiscard_; }

    // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both; false for another value, and on an open port
    // when the device refuses it.
    bool Handshaking(int value);
    int Handshaking() const { return handshaking_; }

    // True exactly while the device is open.
    bool PortOpen() const;
    // true: opens the device of CommPort and applies the settings written before; false
    // when it cannot be opened (missing, busy, no permission, settings refused by a real
    // serial device). Opening an open port changes nothing and succeeds.
    // false: closes; false when the port was not open.
    bool PortOpen(bool open);

    // All bytes received and not yet read; empty when none or when the port is closed.
    std::string Input();

    // Why the last failed operation failed, or why the device was closed by itself.
    QString ErrorText() const { return errorText_; }
    // The device path used by the last open.
    QString DevicePath() const { return devicePath_; }

signals:
    void DeviceLost(const QString& reason);

private:
    struct LineSettings {
        qint32 baudRate = 9600;
        QSerialPort::DataBits dataBits = QSerialPort::Data8;
        QSerialPort::Parity parity = QSerialPort::NoParity;
        QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    };

    static bool ParseSettings(std::string_view text, LineSettings& settings);

    bool Open();
    bool ApplyLineSettings();
    bool ApplyHandshaking();
    void ApplyModemLines();
    bool Accepted(bool result, const QString& what);
    bool RtsHandshake() const { return handshaking_ == 2 || handshaking_ == 3; }

    void OnErrorOccurred(QSerialPort::SerialPortError error);
    void CloseLostDevice(const QString& reason);
    void TakeBuffered();

    QSerialPort port_;
    QString devicePath_;
    QString errorText_;
    std::string received_; // read from the device, not yet handed out
    std::string settingsText_ = "9600,N,8,1";
    LineSettings lineSettings_;
    int inBufferSize_ = 1024;
    int rThreshold_ = 0;
    int commPort_ = 1;
    int handshaking_ = 0;
    bool dtrEnable_ = false;
    bool rtsEnable_ = false;
    bool nullDiscard_ = false;
    bool pseudoTerminal_ = false;
    bool applying_ = false; // our own setting calls run: their errors are handled there
};

} // namespace fixwatch
