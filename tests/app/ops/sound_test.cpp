// The sounds the operations name are the ones the program carries, and starting one never holds
// up the operation. (Outside Windows the program carries no sounds.)
#include "sound.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstring>
#include <future>

namespace {

constexpr ProgramSound kSounds[] = {SOUND_CHANGES_UPLOADED, SOUND_VERIFY_MISMATCH, SOUND_VERIFY_MATCH,
                                    SOUND_READ_DONE,        SOUND_WRITE_DONE,      SOUND_HARDWARE_FOUND};

} // namespace

TEST(Sound, TheProgramCarriesEverySoundAsAShortWave) {
    HMODULE program = LoadLibraryExA(TEVRIX_EXE_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    for (ProgramSound sound : kSounds) {
        HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(sound), "WAVE");
        ASSERT_NE(found, nullptr) << "no WAVE resource " << sound;
        DWORD size = SizeofResource(program, found);
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(program, found)));
        ASSERT_NE(bytes, nullptr);
        ASSERT_GE(size, 12u);
        EXPECT_EQ(std::memcmp(bytes, "RIFF", 4), 0) << sound;
        EXPECT_EQ(std::memcmp(bytes + 8, "WAVE", 4), 0) << sound;
        EXPECT_LT(size, 4096u) << sound;
    }
    FreeLibrary(program);
}

// How fast a call returns is not asserted (a loaded machine is slow to load the sound drivers):
// the calls are waited for, with a generous bound that only a call that hangs runs into.
TEST(Sound, EverySoundCallReturns) {
    auto calls = std::async(std::launch::async, [] {
        for (ProgramSound sound : kSounds) {
            PlayProgramSound(sound);
        }
    });
    EXPECT_EQ(calls.wait_for(std::chrono::minutes(2)), std::future_status::ready);
}
