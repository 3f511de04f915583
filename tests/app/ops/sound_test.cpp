#include "sound.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <chrono>

// Sounds play in the background: the operation that starts one goes on, with or without a sound
// device. How fast a call returns is not asserted (a loaded machine is slow to load the sound
// drivers); the bound catches a call that hangs.
TEST(Sound, EverySoundCallReturns) {
    auto start = std::chrono::steady_clock::now();
    for (ProgramSound sound : {SOUND_CHANGES_UPLOADED, SOUND_VERIFY_MISMATCH, SOUND_VERIFY_MATCH,
                               SOUND_READ_DONE, SOUND_WRITE_DONE, SOUND_HARDWARE_FOUND}) {
        PlayProgramSound(sound);
    }
    EXPECT_LT(ElapsedMs(start), 30000);
}
