#include "sound.h"

#include <gtest/gtest.h>

#include <chrono>

// Sounds play in the background: the operation that starts one goes on at once, with or without
// a sound device.
TEST(Sound, EverySoundReturnsAtOnce) {
    auto start = std::chrono::steady_clock::now();
    for (ProgramSound sound : {SOUND_CHANGES_UPLOADED, SOUND_VERIFY_MISMATCH, SOUND_VERIFY_MATCH,
                               SOUND_READ_DONE, SOUND_WRITE_DONE, SOUND_HARDWARE_FOUND}) {
        PlayProgramSound(sound);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}
