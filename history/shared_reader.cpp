#include "history/shared_reader.h"

#include <utility>

#include "history/shared_history.h"

namespace store {

SharedReader::SharedReader(std::string localPath, std::string conninfo, std::chrono::milliseconds timeout)
    : localPath_(std::move(localPath)), conninfo_(std::move(conninfo)), timeout_(timeout),
      thread_([this] { run(); }) {}

SharedReader::~SharedReader() {
    stop();
    thread_.join();
}

void SharedReader::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        pending_.clear();
    }
    wake_.notify_one();
}

void SharedReader::submit(int lane, Work work) {
    {
        const std::lock_guard lock(mutex_);
        pending_[lane] = std::move(work);
    }
    wake_.notify_one();
}

void SharedReader::submitWrite(Work work) {
    {
        const std::lock_guard lock(mutex_);
        writes_.push_back(std::move(work));
    }
    wake_.notify_one();
}

void SharedReader::retryNow() {
    {
        const std::lock_guard lock(mutex_);
        retry_ = true;
    }
    wake_.notify_one();
}

void SharedReader::run() {
    SharedHistory history(localPath_, conninfo_, timeout_);
    for (;;) {
        Work work;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || retry_ || !pending_.empty() || !writes_.empty(); });
            if (!writes_.empty()) {
                work = std::move(writes_.front());
                writes_.pop_front();
            } else if (stopping_) {
                return;
            }
            if (std::exchange(retry_, false)) history.retryNow();
            if (!work) {
                if (pending_.empty()) continue;
                work = std::move(pending_.begin()->second);
                pending_.erase(pending_.begin());
            }
        }
        // The work reports its own failures with its answer; one that
        // throws all the same ends nothing but itself.
        try {
            work(history);
        } catch (...) {
        }
        // A retry asked for while this work found the server gone is older
        // news than the failure: the next work does not wait for it again.
        if (history.resting()) {
            const std::lock_guard lock(mutex_);
            retry_ = false;
        }
    }
}

}  // namespace store
