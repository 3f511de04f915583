#include "sound.h"

#include <windows.h>

#include <mmsystem.h>

void PlayProgramSound(ProgramSound sound) {
    // The sounds live in the program's own module, in both modes.
    PlaySoundA(MAKEINTRESOURCEA(sound), GetModuleHandleA(nullptr), SND_RESOURCE | SND_ASYNC | SND_NOWAIT);
}
