#pragma once
// The POSIX serial backend's parts that tests reach without a device path of their own.
#include "serial_backend.h"

#include <functional>
#include <memory>

// The backend on a terminal that is already open; the descriptor passes to it. It claims the
// terminal for exclusive use and keeps its settings to put back when it closes. Null (and the
// descriptor closed) when exclusive use cannot be had: not a terminal, or a line that hung up.
// `path` names the port, which tells a Bluetooth port apart.
std::unique_ptr<SerialBackend> AdoptTerminal(int fd, const char* path, PortOpenError* error);

enum class PeerState { Present, Absent, Unknown };

// Asks `probe` every few milliseconds whether the far end of a link is there, until it is or
// `limitMs` have passed. The probe returns false when the line cannot tell (no modem lines),
// which ends the wait at once. `waitedMs` (may be null) gets the time spent.
PeerState WaitForPeer(const std::function<bool(bool* present)>& probe, int limitMs, int* waitedMs);
