#pragma once

// After a failed search: one line for each port that exists but could not be opened for a reason
// the user can remove, with the usual remedy.
void PrintUnopenedPorts();
