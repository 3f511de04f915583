#include "sound.h"

#include "app_state.h"

#include <windows.h>

#include <mmsystem.h>

void PlayProgramSound(ProgramSound sound) {
    // The console run keeps no instance handle; the sounds live in the program's own module.
    HINSTANCE module = g_app.instance != nullptr ? g_app.instance : GetModuleHandleA(nullptr);
    PlaySoundA(MAKEINTRESOURCEA(sound), module, SND_RESOURCE | SND_ASYNC | SND_NOWAIT);
}
