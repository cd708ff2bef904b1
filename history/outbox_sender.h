#pragma once
// Sends a station's unsent rows to the shared server on a thread of its
// own, so that neither a print nor the window ever waits for the network:
// at once when kicked (after a print), and every few seconds while rows
// are waiting. It uses connections of its own to the station's file and to
// the server.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace store {

class OutboxSender {
public:
    // `attempted` runs on the sender's thread after each attempt that had
    // rows to send, told whether they went.
    OutboxSender(std::string localPath, std::string conninfo, std::function<void(bool sent)> attempted);
    // stop(), then waits for the thread (at most one attempt's time-out).
    ~OutboxSender();
    OutboxSender(const OutboxSender&) = delete;
    OutboxSender& operator=(const OutboxSender&) = delete;

    void kick();
    // Lets the thread end after the attempt in hand, without waiting for
    // it; rows not yet sent stay for the next start.
    void stop();

private:
    void run();

    std::string localPath_, conninfo_;
    std::function<void(bool sent)> attempted_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool kicked_ = true;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace store
