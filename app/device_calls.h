#pragma once
// The device-library calls the operations make.
#include "corvane.h"
#include "progress_window.h"
#include "result.h"

#include <cstdint>
