#pragma once
#include "cmdline.h"
#include "corvane.h"
#include "monitor.h"
#include "operation_input.h"

// Runs the operation once PrepareOperation has taken its input; returns 1 when done, 0 when
// failed. A monitor tells `reports` how it goes.
int RunOperation(KVCorvane* device, OperationParams* params, OperationInput* input,
                 const MonitorReports& reports);

// PrepareOperation and RunOperation in one, the status text showing "Executing" meanwhile, and
// Execute enabled again at the end (the dialog's road: its emulator is already found).
int ExecuteOperation(KVCorvane* device, OperationParams* params, const MonitorReports& reports);
