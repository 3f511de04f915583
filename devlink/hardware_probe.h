#pragma once
#include "corvane.h"

#include <string>

// The steps of a search on one candidate port, shared by the search and the listing.

// Opens the port; a port that exists but could not be opened for a reason the user can remove
// goes to the device's unopenedPorts.
bool OpenCandidate(KVCorvane* device, const std::string& path);

// Whether an emulator answers on the open port: the version request at the current rate,
// 921600, then 19200 and 9600 from 115200; firmwareVersion then holds its answer.
bool AnswersVersion(KVCorvane* device);
