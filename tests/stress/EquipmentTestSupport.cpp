#include "EquipmentTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

void RecordingSleeper::sleepMs(int milliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    ++counts_[milliseconds];
    changed_.notify_all();
    if (milliseconds == heldMs_) {
        const int ticket = ++arrivals_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return releases_ >= ticket || heldMs_ < 0; });
        return;
    }
    const auto real = realMs_.find(milliseconds);
    const int realMs = real == realMs_.end() ? 1 : real->second;
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(realMs));
}

int RecordingSleeper::count(int milliseconds) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = counts_.find(milliseconds);
    return found == counts_.end() ? 0 : found->second;
}

bool RecordingSleeper::waitForCount(int milliseconds, int atLeast, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        const auto found = counts_.find(milliseconds);
        return found != counts_.end() && found->second >= atLeast;
    });
}

void RecordingSleeper::slowDown(int milliseconds, int realMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    realMs_[milliseconds] = realMs;
}

void RecordingSleeper::holdEvery(int milliseconds) {
    std::lock_guard<std::mutex> lock(mutex_);
    heldMs_ = milliseconds;
    arrivals_ = 0;
    releases_ = 0;
}

bool RecordingSleeper::waitHeld(int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return arrivals_ > releases_; });
}

bool RecordingSleeper::step(int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    ++releases_;
    changed_.notify_all();
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return arrivals_ > releases_; });
}

void RecordingSleeper::releaseAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    heldMs_ = -1;
    changed_.notify_all();
}

EquipmentPeer::EquipmentPeer(std::unique_ptr<EquipmentSimProtocol> protocol) : protocol_(std::move(protocol)) {
    termios raw{};
    ::cfmakeraw(&raw);
    char name[128] = {};
    if (::openpty(&master_, &slave_, name, &raw, nullptr) == 0) {
        slavePath_ = QString::fromLocal8Bit(name);
        ::fcntl(master_, F_SETFL, O_NONBLOCK);
    }
    thread_ = std::thread([this] { serve(); });
}

EquipmentPeer::~EquipmentPeer() {
    stop_ = true;
    thread_.join();
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

QList<QByteArray> EquipmentPeer::commands() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

void EquipmentPeer::clearCommands() {
    std::lock_guard<std::mutex> lock(mutex_);
    commands_.clear();
}

bool EquipmentPeer::waitForCommands(int atLeast, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return commands_.size() >= atLeast; });
}

void EquipmentPeer::serve() {
    char buffer[256];
    while (!stop_ && master_ >= 0) {
        pollfd entry{master_, POLLIN, 0};
        if (::poll(&entry, 1, 10) <= 0) continue;
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) continue;
        for (const SimExchange &exchange : protocol_->feed(QByteArray(buffer, static_cast<int>(n)))) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                commands_.append(exchange.command);
            }
            changed_.notify_all();
            if (!silent_ && !exchange.reply.isEmpty()) {
                if (::write(master_, exchange.reply.constData(), static_cast<size_t>(exchange.reply.size())) < 0) {
                    // A full queue would mean the worker stopped reading; the
                    // test then fails on the commands it expected.
                }
            }
        }
    }
}
