#pragma once
#include "resource_ids.h"

// The program's WAVE resources.
enum ProgramSound : int {
    SOUND_CHANGES_UPLOADED = IDW_CHANGES_UPLOADED,
    SOUND_VERIFY_MISMATCH = IDW_VERIFY_MISMATCH,
    SOUND_VERIFY_MATCH = IDW_VERIFY_MATCH,
    SOUND_READ_DONE = IDW_READ_DONE,
    SOUND_WRITE_DONE = IDW_WRITE_DONE,
    SOUND_HARDWARE_FOUND = IDW_HARDWARE_FOUND,
};

// Starts the sound and returns at once; it plays in the background. Silent where the program
// carries no sounds.
void PlayProgramSound(ProgramSound sound);
