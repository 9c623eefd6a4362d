#pragma once
// One open serial link used in blocking mode by a single thread: opened and
// configured from a profile (line speed, time-outs, flow control, how an open
// failure is reported), then read and written byte-wise.

#include <QByteArray>
#include <QString>
#include <stdexcept>

// A failure of the serial layer; what() is the fixed text of the step that
// failed ("Port not found", "SetCommState failed", ...).
class SerialPortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct SerialProfile {
    int baudRate = 9600;
    int inputQueueBytes = 256;
    int outputQueueBytes = 256;
    // Clears CTS/DSR output flow control and drops DTR and RTS handshaking.
    bool flowControlOff = false;
    int readTimeoutMs = 2000;   // total, for one read call
    int writeTimeoutMs = 2000;  // total, for one write call
    // The ECG link reports every open failure with one fixed text; the
    // equipment links map the system error to "Port not found", "Port
    // already in use", "Invalid port" or "Connect failed".
    bool fixedOpenFailureText = false;

    // The ECG front end: 230400 or 570000 baud.
    static SerialProfile ecgLink(int baudRate);
    static SerialProfile olmo();    // 9600 baud
    static SerialProfile kipnet();  // 4800 baud
};

class SerialPort {
public:
    static constexpr const char *kEcgOpenFailure = "No se pudo abrir el puerto (CreateFile)";

    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort &) = delete;
    SerialPort &operator=(const SerialPort &) = delete;

    // A name starting with "/" is a device path used as given (simulators,
    // udev links); any other name is a port name of which the first 8
    // characters follow "/dev/".
    static QString devicePath(const QString &portName);

    // Opens exclusively (a second opener fails as "in use") and configures
    // the port; both queues are empty afterwards. Throws SerialPortError with
    // the text of the failing step; the port is closed again on failure.
    void open(const QString &portName, const SerialProfile &profile);
    bool isOpen() const { return fd_ >= 0; }
    void close();

    // True when all `size` bytes were written within the write time-out.
    bool write(const char *data, int size);
    bool write(const QByteArray &data) { return write(data.constData(), data.size()); }
    // Bytes read, fewer than `size` when the read time-out ran out first, or
    // -1 when the read failed (the device went away).
    int read(char *buffer, int size);
    // Drops whatever is waiting in both directions.
    bool discardBuffers();

    // Replaces the profile's read time-out (tests of silent devices).
    void setReadTimeoutMs(int milliseconds) { readTimeoutMs_ = milliseconds; }

private:
    int fd_ = -1;
    int readTimeoutMs_ = 0;
    int writeTimeoutMs_ = 0;
};
