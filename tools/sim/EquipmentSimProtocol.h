#pragma once
// What a simulated exercise machine does with the bytes it receives: split
// them into commands, and answer each the way the real equipment would.

#include <QByteArray>
#include <vector>

struct SimExchange {
    QByteArray command;  // as logged: one line, no line feed
    QByteArray reply;    // bytes to send back, possibly none
};

class EquipmentSimProtocol {
public:
    virtual ~EquipmentSimProtocol() = default;
    // Bytes may arrive in any split; incomplete commands wait for the rest.
    virtual std::vector<SimExchange> feed(const QByteArray &bytes) = 0;
};

// Kipnet: ";...:" frames, each answered by a reply of the same length.
class KipnetSimProtocol : public EquipmentSimProtocol {
public:
    std::vector<SimExchange> feed(const QByteArray &bytes) override;

private:
    QByteArray pending_;
};

// OLMO: single letters and decimal lines, answered with status lines; the
// simulated workload follows "d"/"i" plus a number, "e" and "r".
class OlmoSimProtocol : public EquipmentSimProtocol {
public:
    std::vector<SimExchange> feed(const QByteArray &bytes) override;

private:
    SimExchange answerLetter(char letter);
    SimExchange answerNumber(const QByteArray &number);

    QByteArray number_;
    char lastLetter_ = 0;
    int workload_ = 0;
};
