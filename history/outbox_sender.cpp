#include "history/outbox_sender.h"

#include <chrono>
#include <exception>
#include <utility>

#include "history/history_store.h"
#include "history/shared_history.h"

namespace store {

namespace {
constexpr auto kRetryEvery = std::chrono::seconds(5);
}

OutboxSender::OutboxSender(std::string localPath, std::string conninfo, std::function<void(bool sent)> attempted)
    : localPath_(std::move(localPath)), conninfo_(std::move(conninfo)), attempted_(std::move(attempted)),
      thread_([this] { run(); }) {}

OutboxSender::~OutboxSender() {
    stop();
    thread_.join();
}

void OutboxSender::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
}

void OutboxSender::kick() {
    {
        const std::lock_guard lock(mutex_);
        kicked_ = true;
    }
    wake_.notify_one();
}

void OutboxSender::run() {
    SharedHistory history(localPath_, conninfo_);
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, kRetryEvery, [this] { return kicked_ || stopping_; });
            if (stopping_) return;
            kicked_ = false;
        }
        bool sent = false;
        try {
            if (history.local().unsentCount() == 0) continue;
            history.sendUnsent();
            sent = true;
        } catch (const std::exception&) {
            // Not reachable now: the rows wait for the next attempt, and
            // the window shows why from its own connection.
        }
        if (attempted_) attempted_(sent);
    }
}

}  // namespace store
