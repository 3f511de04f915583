#include "sound.h"

void PlayProgramSound(ProgramSound) {}
