#include "stress/KipnetCommand.h"

#include <algorithm>
#include <cstdio>

namespace {

// The last three bytes are the checksum digits and the closing ":".
QByteArray withChecksum(QByteArray command) {
    const int length = command.size();
    unsigned sum = 0;
    for (int i = 1; i <= length - 4; ++i) sum += static_cast<unsigned char>(command.at(i));
    sum %= 256;
    command[length - 3] = static_cast<char>('0' + (sum / 10) % 10);
    command[length - 2] = static_cast<char>('0' + sum % 10);
    return command;
}

// Capping before the conversion keeps huge or infinite values defined.
QByteArray valueCommand(const char *pattern, double scaled, double cap) {
    QByteArray command(pattern);
    command[1] = KipnetCommand::kAddress;
    const double bounded = scaled >= 0.0 ? std::min(scaled, cap) : 0.0;  // NaN fails the test too
    char field[8];
    std::snprintf(field, sizeof field, "%04d", static_cast<int>(bounded));
    command.replace(3, 4, field, 4);
    return withChecksum(command);
}

QByteArray plainCommand(const char *pattern) {
    QByteArray command(pattern);
    command[1] = KipnetCommand::kAddress;
    return withChecksum(command);
}

}  // namespace

QByteArray KipnetCommand::speed(double kmPerHour) { return valueCommand(";0V000000:", kmPerHour * 10.0, 400); }

QByteArray KipnetCommand::incline(double percent) { return valueCommand(";0E000000:", percent * 10.0, 200); }

QByteArray KipnetCommand::workload(double watts) { return valueCommand(";0N000000:", watts, 800); }

QByteArray KipnetCommand::go() { return plainCommand(";0GO00:"); }

QByteArray KipnetCommand::stop() { return plainCommand(";0ST00:"); }

QByteArray KipnetCommand::name(const QByteArray &command) {
    return command.size() == 7 ? command.mid(2, 2) : command.mid(2, 1);
}
