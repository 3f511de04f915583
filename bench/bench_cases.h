#pragma once
#include "bench_table.h"

#include <cstdint>
#include <string>
#include <vector>

// Each case starts its own simulator from `simulator`; `dir` is a scratch directory for files.
// Also adds the round trip of one short request at that rate to `times`.
void RunTransferBench(const std::string& simulator, const std::string& dir, std::uint32_t baud,
                      std::vector<TransferRow>* rows, std::vector<TimeRow>* times);
// End-justified transfers at 115200 baud through an adapter that holds every answer 16 ms.
void RunAdapterLatencyBench(const std::string& simulator, std::vector<TransferRow>* rows);
// The same transfers on the in-process line, timed by the bytes they put on the wire alone: the
// protocol's own ceiling, without turnaround.
void RunCeilingBench(std::vector<TransferRow>* rows);
void RunSearchBench(const std::string& simulator, std::vector<TimeRow>* rows);
void RunMonitorLatencyBench(const std::string& simulator, const std::string& dir, std::vector<TimeRow>* rows);
void RunMonitorCpuBench(const std::string& dir, std::vector<TimeRow>* rows);
// Console runs of `program` writing 16 bytes behind two ports that never answer: the first run,
// the second (which remembers the port), and one with no other port.
void RunRememberedPortBench(const std::string& simulator, const std::string& program, const std::string& dir,
                            std::vector<TimeRow>* rows);
