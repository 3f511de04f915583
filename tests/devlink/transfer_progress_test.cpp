// The progress messages of each kind of transfer, recorded through the progress seam.
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#ifndef _WIN32

namespace {

struct Message {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool operator==(const Message&) const = default;
};

class Recorder : public ProgressReceiver {
  public:
    std::intptr_t Receive(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
        messages.push_back({message, wParam, lParam});
        return 0;
    }
    std::vector<Message> messages;
};

std::vector<Message> Phase(std::uint32_t range, int steps) {
    std::vector<Message> phase = {{kProgressSetRange, 0, static_cast<std::intptr_t>(range << 16)},
                                  {kProgressSetStep, 1, 0},
                                  {kProgressSetPos, 0, 0}};
    for (int i = 0; i < steps; ++i) {
        phase.push_back({kProgressStepIt, 0, 0});
    }
    phase.push_back({kProgressSetPos, 0, 0});
    return phase;
}

std::vector<Message> Join(std::initializer_list<std::vector<Message>> parts) {
    std::vector<Message> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

const std::vector<Message> kReset = {{kProgressSetPos, 0, 0}};

} // namespace

TEST(TransferProgress, FollowsThePhasesOfEachTransfer) {
    Recorder slow;
    InProcessDevice d(Config("corvane", 3, 0));
    Bytes buffer(0x3000);
    ASSERT_EQ(WriteBlock(&d.device, buffer.data(), 1024, 0, CV_XFER_NO_BULK, &slow), CV_S_OK);
    EXPECT_EQ(slow.messages, Phase(4, 4));

    Recorder bulk;
    ASSERT_EQ(ReadBlock(&d.device, buffer.data(), 0x3000, 0, 0, &bulk), CV_S_OK);
    EXPECT_EQ(bulk.messages, Join({Phase(3, 3), kReset}));

    Recorder refused;
    ASSERT_EQ(ReadBlock(&d.device, buffer.data(), 300, 0x10, 0, &refused), CV_S_OK);
    EXPECT_EQ(refused.messages, Join({kReset, Phase(1, 2)}));

    // The whole page by bulk, then the 44 bytes after it by one slow packet.
    Recorder split;
    ASSERT_EQ(ReadBlock(&d.device, buffer.data(), 300, 0, 0, &split), CV_S_OK);
    EXPECT_EQ(split.messages, Join({Phase(0, 1), Phase(0, 1)}));

    InProcessDevice f(WithFault(Config("corvane", 3, 0), "badsum,cmd=ZR"));
    Recorder fallback;
    ASSERT_EQ(ReadBlock(&f.device, buffer.data(), 0x200, 0, 0, &fallback), CV_S_OK);
    EXPECT_EQ(fallback.messages, Join({Phase(0, 0), Phase(2, 2)}));

    InProcessDevice s(Config("skelmar", 4, 2));
    Recorder both;
    ASSERT_EQ(WriteBlockBothSpaces(&s.device, buffer.data(), 0x1000, 0, CV_XFER_LOWER_W, &both), CV_S_OK);
    EXPECT_EQ(both.messages, Join({Phase(1, 1), kReset, Phase(1, 1), kReset}));

    Recorder cancelled;
    d.device.cancel = 1;
    EXPECT_EQ(ReadBlock(&d.device, buffer.data(), 0x200, 0, CV_XFER_NO_BULK, &cancelled),
              CV_E_OPERATION_CANCELED);
    EXPECT_EQ(cancelled.messages, Phase(2, 0));
    EXPECT_EQ(d.device.cancel, 0);
    EXPECT_TRUE(d.log.Has("KVCorvane: ReadBlock - Operation Canceled"));
}

#endif
