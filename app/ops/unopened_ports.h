#pragma once
#include "corvane.h"

// After a failed search: one line for each port that exists but could not be opened for a reason
// the user can remove, with the usual remedy.
void PrintUnopenedPorts(const KVCorvane* device);
