#include "sim_line.h"

#include <algorithm>

namespace {

// Microseconds that `bytes` take on the line at `baud`: 10 bits each.
std::uint64_t WireUs(std::uint64_t bytes, std::uint32_t baud) {
    return bytes * 10'000'000ull / baud;
}

// The bytes the line carries in `us` microseconds at `baud`.
std::uint64_t BytesIn(std::uint64_t us, std::uint32_t baud) {
    return us * baud / 10'000'000ull;
}

// What the driver keeps of received bytes nobody has read yet.
constexpr std::uint64_t kDriverQueueBytes = 1024;

} // namespace

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
        if (line_->chatty_) {
            line_->nextChatty_ = std::max(line_->nextChatty_, BytesIn(line_->now_, line_->chattyRate_) + 1);
        }
        line_->model.DiscardPartial();
        return true;
    }

    std::uint32_t Write(const std::uint8_t* bytes, std::uint32_t count) override {
        std::lock_guard<std::mutex> lock(line_->mutex_);
        if (line_->hungUp_) {
            line_->writes_.emplace_back(bytes, bytes + count);
            return 0;
        }
        std::uint32_t sent = Pace(count);
        line_->writes_.emplace_back(bytes, bytes + sent);
        if (line_->chatty_) {
            return sent;
        }
        DeviceModel& model = line_->model;
        auto& queue = line_->toHost_;
        std::uint64_t at = line_->SendStart();
        // At a rate the device is not running at, it misreads the request and what comes back is
        // noise at the host's rate.
        if (settings_.baud != model.Rate()) {
            for (std::uint32_t i = 0; i < sent * kNoisePerByte; ++i) {
                queue.push_back({at, line_->noise_.Next()});
            }
            return sent;
        }
        for (Reply& reply : model.Receive(bytes, sent)) {
            at += reply.delayMs * 1000ull;
            for (std::size_t i = 0; i < reply.bytes.size(); ++i) {
                if (reply.pauseMs != 0 && i == reply.pauseAt) {
                    at += reply.pauseMs * 1000ull;
                }
                queue.push_back({at, reply.bytes[i]});
            }
            if (reply.hangUp) {
                line_->hungUp_ = true;
            }
        }
        return sent;
    }

    std::uint32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        std::lock_guard<std::mutex> lock(line_->mutex_);
        std::uint64_t start = line_->now_;
        std::uint64_t total =
            start + (timeouts_.readConstant + std::uint64_t{count} * timeouts_.readMultiplier) * 1000;
        Chatter(start, total, count);
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
    // With paced writes the line's clock moves on by the time the bytes take, or by the write
    // time-out when that passes first (no time-out at all when both of its values are 0).
    std::uint32_t Pace(std::uint32_t count) {
        if (!line_->pacedWrites || settings_.baud == 0) {
            return count;
        }
        std::uint64_t wire = WireUs(count, settings_.baud);
        std::uint64_t limit =
            (timeouts_.writeConstant + std::uint64_t{count} * timeouts_.writeMultiplier) * 1000;
        if (limit == 0 || wire <= limit) {
            line_->now_ += wire;
            return count;
        }
        line_->now_ += limit;
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(count, BytesIn(limit, settings_.baud)));
    }

    // A chatty device's text up to the end of a read, as much of it as the read can take; what
    // came before the read and did not fit the driver's queue is lost.
    void Chatter(std::uint64_t start, std::uint64_t until, std::uint32_t count) {
        if (!line_->chatty_) {
            return;
        }
        std::uint32_t rate = line_->chattyRate_;
        std::uint64_t arrived = BytesIn(start, rate);
        std::uint64_t& next = line_->nextChatty_;
        next = std::max(next, arrived > kDriverQueueBytes ? arrived - kDriverQueueBytes : 0);
        auto& queue = line_->toHost_;
        while (queue.size() < count && WireUs(next, rate) <= until) {
            std::uint8_t byte = settings_.baud == rate ? line_->chattyText_.At(next) : line_->noise_.Next();
            queue.push_back({WireUs(next, rate), byte});
            ++next;
        }
    }

    SimLine* line_;
    LineSettings settings_;
    SerialTimeouts timeouts_;
};

SimLine::SimLine(DeviceConfig config) : model(config), chatty_(config.chatty), chattyRate_(config.rate) {}

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
