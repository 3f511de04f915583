#include "corvane.h"
#include "framing.h"
#include "link_cipher.h"

#include <gtest/gtest.h>

#include <vector>

TEST(RequestChecksum, IsTheByteSumOfTheRequest) {
    const std::uint8_t read[4] = {'R', 0x00, 0x10, 0x00};
    EXPECT_EQ(RequestChecksum(read, 4), 0x62);
    const std::uint8_t serial[2] = {'N', 'S'};
    EXPECT_EQ(RequestChecksum(serial, 2), 0xA1);
    const std::uint8_t eeprom[5] = {'H', 'R', 7, 0, 1};
    EXPECT_EQ(RequestChecksum(eeprom, 5), 0xA2);
}

TEST(EncryptBytes, ChainsEachByteToTheLastAndDecryptsBack) {
    KVCorvane device;
    std::vector<std::uint8_t> plain = {0x01, 0x02, 0x10, 0x00, 0x00, 0x00, 0xFF, 0x41};
    std::vector<std::uint8_t> bytes = plain;
    std::uint8_t seed = 0;
    ASSERT_EQ(EncryptBytes(&device, bytes.data(), 8, &seed), 0u);
    EXPECT_EQ(seed, bytes.back());
    EXPECT_NE(bytes[4], bytes[5]) << "equal bytes in one chain must encrypt differently";

    // The device side, written separately, reads what the host wrote and continues the chain.
    std::vector<std::uint8_t> deviceView = bytes;
    EXPECT_EQ(CipherDecrypt(CipherStartSeed(), deviceView.data(), 8), seed);
    EXPECT_EQ(deviceView, plain);

    ASSERT_EQ(DecryptBytes(&device, CipherStartSeed(), bytes.data(), 8), 0u);
    EXPECT_EQ(bytes, plain);

    std::vector<std::uint8_t> reply = {0x55, 0x55, 0x00};
    CipherEncrypt(seed, reply.data(), reply.size());
    ASSERT_EQ(DecryptBytes(&device, seed, reply.data(), 3), 0u);
    EXPECT_EQ(reply, (std::vector<std::uint8_t>{0x55, 0x55, 0x00}));
}

TEST(EncryptBytes, RefusesAnEmptyInput) {
    KVCorvane device;
    std::uint8_t byte = 7;
    std::uint8_t seed = 9;
    EXPECT_EQ(EncryptBytes(&device, &byte, 0, &seed), 0x80004005u);
    EXPECT_EQ(seed, 0);
    EXPECT_EQ(EncryptBytes(&device, nullptr, 4, nullptr), 0x80004005u);
    EXPECT_EQ(DecryptBytes(&device, 1, nullptr, 1), 0x80004005u);
    EXPECT_EQ(DecryptBytes(&device, 1, &byte, 0), 0x80004005u);
    EXPECT_EQ(byte, 7);
}

TEST(UsesEncryptedFraming, NeedsTheCapabilityAndNoOptOut) {
    KVCorvane device;
    EXPECT_FALSE(UsesEncryptedFraming(&device, 0));
    device.capabilities = CAPS_ENCRYPTION;
    EXPECT_TRUE(UsesEncryptedFraming(&device, CV_XFER_LOWER_W));
    EXPECT_FALSE(UsesEncryptedFraming(&device, CV_XFER_NO_ENCRYPTION));
}
