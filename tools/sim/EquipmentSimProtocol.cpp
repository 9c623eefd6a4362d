#include "tools/sim/EquipmentSimProtocol.h"

std::vector<SimExchange> KipnetSimProtocol::feed(const QByteArray &bytes) {
    std::vector<SimExchange> exchanges;
    for (const char byte : bytes) {
        // A ";" always opens a frame, so noise before it is dropped.
        if (byte == ';') pending_.clear();
        if (pending_.isEmpty() && byte != ';') continue;
        pending_.append(byte);
        if (byte == ':') {
            // The equipment acknowledges by echoing the frame.
            exchanges.push_back({pending_, pending_});
            pending_.clear();
        }
    }
    return exchanges;
}

std::vector<SimExchange> OlmoSimProtocol::feed(const QByteArray &bytes) {
    std::vector<SimExchange> exchanges;
    for (const char byte : bytes) {
        if (byte == '\n') {
            if (!number_.isEmpty()) exchanges.push_back(answerNumber(number_));
            number_.clear();
        } else if ((byte >= '0' && byte <= '9') || (byte == '-' && number_.isEmpty())) {
            number_.append(byte);
        } else if (byte >= 'a' && byte <= 'z' && number_.isEmpty()) {
            exchanges.push_back(answerLetter(byte));
        }
    }
    return exchanges;
}

SimExchange OlmoSimProtocol::answerLetter(char letter) {
    lastLetter_ = letter;
    const QByteArray command(1, letter);
    const QByteArray status = "W" + QByteArray::number(workload_) + '\n';
    switch (letter) {
    case 'r': workload_ = 0; return {command, {}};
    case 'c': return {command, "OLMO simulator\nV1.0\nREADY\n"};
    case 'a': return {command, status};
    case 'p':
    case 'd':
    case 'i': return {command, "OK\n"};
    case 'e': workload_ = 0; return {command, "OK\nW0\n"};
    default: return {command, {}};  // unknown letters go unanswered
    }
}

SimExchange OlmoSimProtocol::answerNumber(const QByteArray &number) {
    // "d" announces an absolute workload, "i" a change of the present one.
    if (lastLetter_ == 'i')
        workload_ += number.toInt();
    else
        workload_ = number.toInt();
    return {number, "OK\nW" + QByteArray::number(workload_) + '\n'};
}
