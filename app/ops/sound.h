#pragma once

// The program's WAVE resources.
enum ProgramSound : int {
    SOUND_CHANGES_UPLOADED = 134,
    SOUND_VERIFY_MISMATCH = 136,
    SOUND_VERIFY_MATCH = 137,
    SOUND_READ_DONE = 138,
    SOUND_WRITE_DONE = 139,
    SOUND_HARDWARE_FOUND = 140,
};

// Starts the sound and returns at once; it plays in the background. Silent where the program
// carries no sounds.
void PlayProgramSound(ProgramSound sound);
