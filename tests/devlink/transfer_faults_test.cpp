// Whatever the device answers, a transfer ends with its code and stays inside its buffers.
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

enum class Op { BulkRead, BulkWrite, SlowRead, SlowWrite, AltWrite };

CvResult RunOp(KVCorvane* device, Op op, std::uint8_t* buffer, std::uint32_t size) {
    switch (op) {
    case Op::BulkRead:
        return BulkRead(device, buffer, size, 0x1000, 0, nullptr);
    case Op::BulkWrite:
        return BulkWrite(device, buffer, size, 0x1000, 0, nullptr);
    case Op::SlowRead:
        return ReadBlock(device, buffer, size, 0x1000, CV_XFER_NO_BULK, nullptr);
    case Op::SlowWrite:
        return WriteBlock(device, buffer, size, 0x1000, CV_XFER_NO_BULK | CV_XFER_LOWER_W, nullptr);
    case Op::AltWrite:
        return WriteBlock(device, buffer, size, 0x1000, CV_XFER_NO_BULK | CV_XFER_ALT_WRITE, nullptr);
    }
    return CV_E_GENERAL_ERROR;
}

} // namespace

TEST(TransferFaults, EachFaultGivesItsCodeAndLine) {
    struct Case {
        const char* fault;
        Op op;
        std::uint32_t size;
        CvResult result;
        const char* line;
    } cases[] = {
        {"silent,cmd=ZR", Op::BulkRead, 0x2000, CV_E_COMM_READ_TIMEOUT,
         "TarkelWare: BulkRead: Read timed-out after 0 bytes. Expected 8192 bytes."},
        {"short,cmd=ZR,skip=1,arg=100", Op::BulkRead, 0x2000, CV_E_COMM_READ_TIMEOUT,
         "TarkelWare: BulkRead: Read timed-out after 4196 bytes. Expected 8192 bytes."},
        {"short,cmd=ZR,arg=4096", Op::BulkRead, 0x2000, CV_E_COMM_READ_TIMEOUT, nullptr},
        {"badsum,cmd=ZR", Op::BulkRead, 0x1000, CV_E_EXTERNAL_CS_INVALID,
         "TarkelWare Bulk Read Error - invalid packet checksum. Expected 00, Received FF."},
        {"echo,cmd=ZR", Op::BulkRead, 0x1000, CV_E_EXTERNAL_CS_INVALID, nullptr},
        {"stall,cmd=ZR,arg=9000", Op::BulkRead, 0x1000, CV_E_COMM_READ_TIMEOUT, nullptr},
        {"silent,cmd=ZW", Op::BulkWrite, 0x2000, CV_E_COMM_READ_TIMEOUT, nullptr},
        {"nak,cmd=ZW", Op::BulkWrite, 0x2000, CV_E_INVALID_RESPONSE, nullptr},
        {"unknown,cmd=ZW,skip=1", Op::BulkWrite, 0x2000, CV_E_INVALID_RESPONSE, nullptr},
        {"echo,cmd=ZW", Op::BulkWrite, 0x1000, CV_E_INVALID_RESPONSE, nullptr},
        {"silent,cmd=R", Op::SlowRead, 0x200, CV_E_COMM_READ_TIMEOUT,
         "KVCorvane: ReadBlock: Read timed-out after 0 bytes. Expected 512 bytes."},
        {"short,cmd=R,skip=1,arg=10", Op::SlowRead, 0x200, CV_E_COMM_READ_TIMEOUT,
         "KVCorvane: ReadBlock: Read timed-out after 256 bytes. Expected 512 bytes."},
        {"short,cmd=R,arg=256", Op::SlowRead, 0x200, CV_E_COMM_READ_TIMEOUT, nullptr},
        {"badsum,cmd=R", Op::SlowRead, 0x100, CV_E_EXTERNAL_CS_INVALID,
         "KVCorvane Read Error - invalid packet checksum. Expected 00, Received FF."},
        {"echo,cmd=R", Op::SlowRead, 0x100, CV_E_EXTERNAL_CS_INVALID, nullptr},
        {"silent,cmd=W", Op::SlowWrite, 0x200, CV_E_COMM_READ_TIMEOUT, nullptr},
        {"nak,cmd=W,skip=1", Op::SlowWrite, 0x200, CV_E_INVALID_RESPONSE, nullptr},
        {"unknown,cmd=W", Op::SlowWrite, 0x200, CV_E_INVALID_RESPONSE, nullptr},
        {"nak,cmd=X", Op::AltWrite, 0x100, CV_E_ALT_WRITE_BAD_CHECKSUM, nullptr},
        {"short,cmd=X,arg=1", Op::AltWrite, 0x100, CV_E_COMM_READ_TIMEOUT, nullptr},
        {"drop,cmd=R,arg=300", Op::SlowRead, 0x400, CV_E_COMM_READ_TIMEOUT, nullptr},
        {"drop,cmd=W,arg=0", Op::SlowWrite, 0x100, CV_E_COMM_READ_TIMEOUT, nullptr},
    };
    for (const auto& c : cases) {
        InProcessDevice d(WithFault(Config("corvane", 3, 0), c.fault));
        ASSERT_NE(d.device.capabilities, 0u) << c.fault;
        // Exactly the transfer's size on the heap, so a stray byte is caught by the sanitizer.
        auto buffer = std::make_unique<std::uint8_t[]>(c.size);
        std::fill(buffer.get(), buffer.get() + c.size, 0);
        std::uint64_t start = d.line.NowUs();
        EXPECT_EQ(RunOp(&d.device, c.op, buffer.get(), c.size), c.result) << c.fault;
        if (c.line != nullptr) {
            EXPECT_TRUE(d.log.Has(c.line)) << c.fault << "\n" << d.log.Text();
        }
        EXPECT_LT(d.line.NowUs() - start, 30'000'000u) << c.fault << ": took too long on the line";
        EXPECT_EQ(d.device.idle, 1) << c.fault;
        EXPECT_EQ(d.device.cancel, 0) << c.fault;
    }
}

TEST(TransferFaults, ABulkFailureFallsBackToSlowPackets) {
    InProcessDevice d(WithFault(Config("corvane", 3, 0), "badsum,cmd=ZR"));
    Bytes ram = Pattern(0x10000, 6);
    std::copy(ram.begin(), ram.end(), d.line.model.ram.begin());
    Bytes buffer(0x800);
    ASSERT_EQ(ReadBlock(&d.device, buffer.data(), 0x800, 0x800, 0, nullptr), CV_S_OK);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), ram.begin() + 0x800));
    EXPECT_TRUE(d.log.Has("KVCorvane: Slow Reading 2048 bytes"));

    InProcessDevice w(WithFault(Config("corvane", 3, 0), "nak,cmd=ZW"));
    Bytes data = Pattern(0x200, 7);
    ASSERT_EQ(WriteBlock(&w.device, data.data(), 0x200, 0x400, CV_XFER_LOWER_W, nullptr), CV_S_OK);
    EXPECT_TRUE(w.log.Has("KVCorvane: Slow writing 512 bytes"));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), w.line.model.ram.begin() + 0x400));
}

TEST(TransferFaults, RefusalsBeforeAnyRequest) {
    KVCorvane closed;
    Bytes buffer(16);
    EXPECT_EQ(ReadBlock(&closed, buffer.data(), 16, 0, 0, nullptr), CV_E_PORT_NOT_INITIALIZED);
    EXPECT_EQ(WriteBlock(&closed, buffer.data(), 16, 0, 0, nullptr), CV_E_PORT_NOT_INITIALIZED);

    InProcessDevice d(Config("corvane", 3, 0));
    d.Mark();
    EXPECT_EQ(ReadBlock(&d.device, nullptr, 16, 0, 0, nullptr), CV_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(WriteBlock(&d.device, nullptr, 0x100, 0, 0, nullptr), CV_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(d.line.Writes().size(), d.found);

    InProcessDevice v(Config("vespin1", 3, 1));
    EXPECT_EQ(BulkRead(&v.device, buffer.data(), 0x100, 0, 0, nullptr), CV_E_REQUEST_NOT_SUPPORTED);
    InProcessDevice s(Config("skelmar", 4, 2));
    EXPECT_EQ(BulkRead(&s.device, buffer.data(), 0x100, 0, CV_XFER_NO_SPACE, nullptr),
              CV_E_INVALID_REQUEST_PARAM);
    EXPECT_EQ(BulkWrite(&s.device, buffer.data(), 0x100, 0, 0, nullptr), CV_E_INVALID_REQUEST_PARAM);
}

TEST(TransferFaults, ALargeBinBankSwitchThatFailsEndsTheTransfer) {
    // The device refuses every bank selection after the two reads of the identification.
    InProcessDevice d(WithFault(Config("dravel", 11, 0), "nak,cmd=B,skip=2"));
    d.device.emulationBank = 8;
    Bytes buffer(0x100);
    EXPECT_EQ(ReadBlock(&d.device, buffer.data(), 0x100, 0x10000, CV_XFER_NO_BULK, nullptr),
              CV_E_LARGE_BIN_BANK_FAILED);
    EXPECT_EQ(BulkRead(&d.device, buffer.data(), 0x100, 0x10000, 0, nullptr), CV_E_LARGE_BIN_BANK_FAILED);
    EXPECT_TRUE(d.log.Has("KVCorvane: Set R/W Bank Failed!"));
    // Bank 9 lies beyond the large-bin RAM: refused before anything is sent.
    EXPECT_EQ(WriteBlock(&d.device, buffer.data(), 0x10, 0x90000, 0, nullptr), CV_E_LARGE_BIN_BANK_FAILED);
    EXPECT_EQ(d.device.idle, 1);
}
