#include "device_model.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

std::uint8_t Sum8(const std::uint8_t* bytes, std::size_t count) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
    }
    return sum;
}

bool Matches(const FaultRule& rule, const std::string& name) {
    return rule.command.empty() || rule.command == name;
}

// Requests that change the device; one it refuses or does not understand leaves it unchanged.
bool ChangesDevice(const std::vector<std::uint8_t>& request, const std::string& name) {
    if (name == "B") {
        bool get = request[1] == request[2] && (request[1] == 'R' || request[1] == 'E');
        return !get;
    }
    return name == "S" || name == "N" || name == "ZW" || name == "W" || name == "w";
}

} // namespace

DeviceModel::DeviceModel(DeviceConfig config)
    : config_(std::move(config)), features_(FeaturesOf(config_)), rate_(config_.rate) {
    ram.assign(config_.ramSize, 0);
    std::memcpy(serial, config_.serial, sizeof serial);
    faultSeen_.assign(config_.faults.size(), 0);
}

bool DeviceModel::Encrypted() const {
    return features_.encryption && serial[0] != 0 && serial[0] != 'n';
}

long DeviceModel::RequestLength() const {
    const auto& p = pending_;
    if (p.empty()) {
        return 0;
    }
    long marker = Encrypted() ? 2 : 0;
    long address = static_cast<long>(AddressBytes());
    switch (p[0]) {
    case 'V':
        return p.size() < 2 ? 0 : (p[1] == 'V' ? 2 : -1);
    case 'S':
        return 3;
    case 'H':
        return p.size() < 2 ? 0 : (p[1] == 'R' ? 6 : -1);
    case 'N':
        // "NS" and a vendor-ID write of 'S' differ by the third byte, the checksum of "NS".
        return p.size() < 3 ? 0 : (p[1] == 'S' && p[2] == 0xA1 ? 3 : 11);
    case 'B':
        return 4;
    case 'Z':
        if (p.size() < 3) {
            return 0;
        }
        if (p[1] == 'R') {
            return 6 + marker;
        }
        return p[1] == 'W' ? 6 + marker + 256L * p[2] : -1;
    case 'R':
        return 3 + marker + address;
    case 'W':
    case 'w':
    case 'X':
        return p.size() < 2 ? 0 : 3 + marker + address + (p[1] == 0 ? 256 : p[1]);
    default:
        return -1;
    }
}

std::string DeviceModel::RequestName(const std::vector<std::uint8_t>& request) const {
    switch (request[0]) {
    case 'V':
        return "VV";
    case 'H':
        return "HR";
    case 'N':
        return request.size() == 3 ? "NS" : "N";
    case 'Z':
        return request[1] == 'R' ? "ZR" : "ZW";
    default:
        return std::string(1, static_cast<char>(request[0]));
    }
}

std::vector<Reply> DeviceModel::Receive(const std::uint8_t* bytes, std::size_t count) {
    std::vector<Reply> replies;
    if (dead_) {
        return replies;
    }
    pending_.insert(pending_.end(), bytes, bytes + count);
    while (!dead_) {
        long length = RequestLength();
        if (length < 0) {
            pending_.erase(pending_.begin());
            continue;
        }
        if (length == 0 || pending_.size() < static_cast<std::size_t>(length)) {
            break;
        }
        std::vector<std::uint8_t> request(pending_.begin(), pending_.begin() + length);
        pending_.erase(pending_.begin(), pending_.begin() + length);
        std::string name = RequestName(request);
        requests.push_back(name);
        if (name != "VV" && Sum8(request.data(), request.size() - 1) != request.back()) {
            ++badChecksums;
            continue;
        }
        Reply reply;
        ApplyFaults(request, name, &reply);
        reply.delayMs += config_.latencyMs;
        if (!reply.bytes.empty() || reply.hangUp) {
            replies.push_back(std::move(reply));
        }
    }
    return replies;
}

void DeviceModel::ApplyFaults(const std::vector<std::uint8_t>& request, const std::string& name,
                              Reply* reply) {
    const FaultRule* fault = nullptr;
    for (std::size_t i = 0; i < config_.faults.size(); ++i) {
        const FaultRule& rule = config_.faults[i];
        if (fault != nullptr || !Matches(rule, name)) {
            continue;
        }
        std::uint32_t seen = faultSeen_[i]++;
        if (seen >= rule.skip && (rule.times == 0 || seen < rule.skip + rule.times)) {
            fault = &rule;
        }
    }
    FaultKind kind = fault != nullptr ? fault->kind : FaultKind::Stall;
    if (fault != nullptr && kind == FaultKind::Silent) {
        return;
    }
    if (fault != nullptr && (kind == FaultKind::Unknown || kind == FaultKind::Nak) &&
        ChangesDevice(request, name)) {
        reply->bytes.assign(1, kind == FaultKind::Unknown ? '?' : 'E');
        return;
    }
    std::vector<std::uint8_t> copy = request;
    *reply = Answer(copy, name);
    auto& out = reply->bytes;
    if (fault != nullptr && kind == FaultKind::Echo) {
        out.insert(out.begin(), request.begin(), request.end());
    }
    if (fault != nullptr && !out.empty()) {
        switch (kind) {
        case FaultKind::Short:
            out.resize(fault->argGiven ? std::min<std::size_t>(fault->arg, out.size()) : out.size() / 2);
            break;
        case FaultKind::BadSum:
            out.back() ^= 0xFF;
            break;
        case FaultKind::Unknown:
            out[0] = '?';
            break;
        case FaultKind::Nak:
            if (name == "X") {
                // A 16-bit sum that matches neither reading of the acknowledgement.
                std::uint32_t sum = out[0] | (out[1] << 8);
                out[0] = static_cast<std::uint8_t>(~out[0]);
                out[1] = static_cast<std::uint8_t>(sum < 256 ? ~sum : ~out[1]);
            } else {
                out.assign(1, 'E');
            }
            break;
        case FaultKind::Stall:
            reply->delayMs = fault->arg;
            break;
        case FaultKind::Gap:
            reply->pauseAt = fault->atGiven ? std::min<std::size_t>(fault->at, out.size()) : out.size() / 2;
            reply->pauseMs = fault->arg;
            break;
        case FaultKind::Drop:
            if (!dropArmed_) {
                dropArmed_ = true;
                dropSent_ = 0;
            }
            break;
        default:
            break;
        }
    }
    if (dropArmed_) {
        std::uint32_t limit = 0;
        for (const auto& rule : config_.faults) {
            if (rule.kind == FaultKind::Drop) {
                limit = rule.arg;
            }
        }
        std::uint32_t left = limit - std::min(limit, dropSent_);
        if (out.size() >= left) {
            out.resize(left);
            reply->hangUp = true;
            dead_ = true;
        }
        dropSent_ += static_cast<std::uint32_t>(out.size());
    }
}
