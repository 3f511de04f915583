// Feeds arbitrary text to the S-record parser, and writes every image it accepts back out.
#include "record_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckRecords(ImageFormat::SRecord, data, size);
    return 0;
}
