#pragma once

#include "newest_lines.h"
#include "receiver_source.h"
#include "serial_line.h"

#include <QSerialPort>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace fixwatch {

// Reading policy. A receiver talks whether or not anybody listens, and the window looks
// once a tick, so the port holds what came between two looks and hands it out at the next
// Read, in arrival order, one byte per character (ISO-8859-1), each byte once. A fast line
// is taken from the kernel as it comes (the terminal wakes the loop only every 255 bytes,
// and at most every 250 ms); a slow one is left in the kernel's queue until the next Read,
// which costs no wake-up at all but means a hang-up is seen only then (at most two seconds
// later). What is held is bounded at kMaxReadLength: a receiver that sends faster than the
// window reads loses its oldest whole lines, never a piece of one, and Dropped() counts
// them, so the loss can be told. Bytes nobody read when the port closes are thrown away
// then and again at the next open: a Start shows only what the receiver says from then on.
// A lost device (unplugged, the far end hung up) is closed at its first failed read and
// Lost is emitted once; Reconnect opens the same path again and hands out what came before
// the loss first. Nothing is ever sent.
//
// The settings keep the names of a classic serial communications control: Settings,
// DTREnable, RTSEnable, NullDiscard and Handshaking are written before Open and applied by
// it. A write that cannot be honoured returns false and changes nothing; Reason() says
// why. The descriptor work behind Qt's back lives in SerialLine.
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

    // A Handshake by its number (0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both); false for another
    // value, and on an open port when the device refuses it.
    bool Handshaking(int value);
    int Handshaking() const { return static_cast<int>(handshaking_); }

    // The line settings in the short form people use, "4800 8N1", "9600 7E2".
    static QString ShortSettings(std::string_view settings);

    // ReceiverSource. Open applies the settings written before; opening an open port
    // changes nothing and succeeds.
    bool Open() override;
    bool Reconnect() override;
    std::string Read() override;
    void Close() override;
    bool IsOpen() const override;
    std::uint64_t Dropped() const override { return received_.Dropped(); }
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

    bool OpenLine(bool fresh);
    bool ApplyLineSettings();
    bool ApplyHandshaking();
    void ApplyModemLines();
    bool Accepted(bool result, const QString& what);
    bool RtsHandshake() const
    {
        return handshaking_ == Handshake::RtsCts || handshaking_ == Handshake::Both;
    }

    void OnErrorOccurred(QSerialPort::SerialPortError error);
    void OnReadyRead();
    void ResumeReading();
    void CloseLostDevice();
    // Takes what Qt and the kernel hold, within a bound; false when the device failed to
    // give bytes.
    bool TakeBuffered();
    // Keeps received bytes (without NULs when they are discarded), the newest lines winning.
    void Keep(std::string_view bytes);

    QSerialPort port_{this}; // a child, so that the line finds its notifiers
    SerialLine line_{port_, [this] { ResumeReading(); }};
    QString devicePath_;
    QString reason_;
    NewestLines received_{kMaxReadLength}; // read from the device, not yet handed out
    std::string settingsText_ = "9600,N,8,1";
    LineSettings lineSettings_;
    Handshake handshaking_ = Handshake::None;
    bool dtrEnable_ = false;
    bool rtsEnable_ = false;
    bool nullDiscard_ = false;
    bool pseudoTerminal_ = false;
    bool applying_ = false; // our own setting calls run: their errors are handled there
};

// Why a device could not be opened, in the user's words, from the error number the open
// gave (ENOENT, EACCES, EBUSY...): "Cannot open /dev/ttyUSB0: permission denied. Add your
// user to the dialout group and log in again."
QString OpenFailureReason(const QString& device, int error);

} // namespace fixwatch
