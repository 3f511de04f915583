#pragma once
#include "cmdline.h"

#include <chrono>

// Lets the user end a console monitor at once the way a console program is ended: Ctrl+C and
// SIGTERM, on Windows also Ctrl+Break and closing the console. keepRunning is cleared, a transfer
// under way is cancelled and the monitor's waits end, so that the monitor says it ended and the
// port is put back as it was found. Only while an instance lives (one at a time); before and
// after, the signals keep their usual effect.
class ConsoleStop {
  public:
    explicit ConsoleStop(OperationParams* params);
    ~ConsoleStop();
    ConsoleStop(const ConsoleStop&) = delete;
    ConsoleStop& operator=(const ConsoleStop&) = delete;

    // Whether the user asked to stop.
    bool Requested() const;
    // The program has put everything back: a console that is being closed may end it now.
    void Done();
};

// Sleeps `time`, or less when the user asks a ConsoleStop to stop; true when that happened.
bool SleepUnlessStopped(std::chrono::milliseconds time);

// For waits of the platform's own, beside what they wait for: a descriptor that turns readable
// (POSIX) or an event that is set (Windows) once a stop was asked for; -1 or null while no
// ConsoleStop lives.
#ifdef _WIN32
void* StopEvent();
#else
int StopDescriptor();
#endif
