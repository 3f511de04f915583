#pragma once
#include "cmdline.h"

// Runs the operation described by g_params; returns 1 when done, 0 when failed.
int ExecuteOperation(OperationParams* params);
