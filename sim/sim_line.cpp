#include "sim_line.h"

class SimSerialBackend final : public SerialBackend {
  public:
    explicit SimSerialBackend(SimLine* line) : line_(line) {}

    bool GetLine(LineSettings* settings) override {
        std::lock_guard<std::mutex> lock(line_->mutex_);
        *settings = settings_;
        return true;
    }

    bool SetLine(const LineSettings& settings) override {
        std::lock_guard<std::mutex> lock(line_->mutex_);
        settings_ = settings;
        line_->hostBaud_ = settings.baud;
        return true;
    }

    bool GetTimeouts(SerialTimeouts* timeouts) override {
        *timeouts = timeouts_;
        return true;
    }

    bool SetTimeouts(const SerialTimeouts& timeouts) override {
        timeouts_ = timeouts;
        return true;
    }

    bool SetupQueues(std::uint32_t, std::uint32_t) override { return true; }

    // Bytes already on their way from the device keep coming; only those that arrived go.
    bool Purge() override {
        std::lock_guard<std::mutex> lock(line_->mutex_);
        auto& queue = line_->toHost_;
        while (!queue.empty() && queue.front().at <= line_->now_) {
            queue.pop_front();
        }
        line_->model.DiscardPartial();
        return true;
    }

    std::uint32_t Write(const std::uint8_t* bytes, std::uint32_t count) override {
        std::lock_guard<std::mutex> lock(line_->mutex_);
        line_->writes_.emplace_back(bytes, bytes + count);
        if (line_->hungUp_) {
            return 0;
        }
        DeviceModel& model = line_->model;
        // At a rate the device is not running at, it receives noise and answers nothing.
        if (settings_.baud != model.Rate()) {
            return count;
        }
        std::uint64_t at = line_->now_;
        for (Reply& reply : model.Receive(bytes, count)) {
            at += reply.delayMs * 1000ull;
            for (std::uint8_t b : reply.bytes) {
                line_->toHost_.push_back({at, b});
            }
            if (reply.hangUp) {
                line_->hungUp_ = true;
            }
        }
        return count;
    }

    std::uint32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        std::lock_guard<std::mutex> lock(line_->mutex_);
        std::uint64_t start = line_->now_;
        std::uint64_t total =
            start + (timeouts_.readConstant + std::uint64_t{count} * timeouts_.readMultiplier) * 1000;
        auto& queue = line_->toHost_;
        std::uint32_t done = 0;
        std::uint64_t last = start;
        while (done < count && !queue.empty()) {
            std::uint64_t at = queue.front().at < start ? start : queue.front().at;
            if (at > total ||
                (done > 0 && timeouts_.readInterval != 0 && at > last + timeouts_.readInterval * 1000ull)) {
                break;
            }
            buffer[done++] = queue.front().byte;
            queue.pop_front();
            last = at;
        }
        if (done == count) {
            line_->now_ = last;
        } else {
            std::uint64_t end = total;
            if (done > 0 && timeouts_.readInterval != 0 && last + timeouts_.readInterval * 1000ull < end) {
                end = last + timeouts_.readInterval * 1000ull;
            }
            line_->now_ = end;
        }
        return done;
    }

  private:
    SimLine* line_;
    LineSettings settings_;
    SerialTimeouts timeouts_;
};

std::unique_ptr<SerialBackend> SimLine::Connect() {
    return std::make_unique<SimSerialBackend>(this);
}

std::uint64_t SimLine::NowUs() {
    std::lock_guard<std::mutex> lock(mutex_);
    return now_;
}

std::vector<std::vector<std::uint8_t>> SimLine::Writes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return writes_;
}

std::uint32_t SimLine::HostBaud() {
    std::lock_guard<std::mutex> lock(mutex_);
    return hostBaud_;
}
