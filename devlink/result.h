#pragma once
#include <cstdint>

// The outcome of every device operation: 0 for success, a negative code for each failure.
using CvResult = std::int32_t;

enum : CvResult {
    CV_S_OK = 0,
    CV_E_GENERAL_ERROR = -1,
    CV_E_PORT_NOT_INITIALIZED = -2,
    CV_E_REQUEST_NOT_SUPPORTED = -3,
    CV_E_COMM_WRITE_FAILURE = -4,
    CV_E_COMM_READ_FAILURE = -5,
    CV_E_DEVICE_NOT_FOUND = -6,
    CV_E_INVALID_RESPONSE = -7,
    CV_E_UNKNOWN_COMMAND = -8,
    CV_E_BAD_CHECKSUM = -9,
    CV_E_ALT_WRITE_BAD_CHECKSUM = -10,
    CV_E_EXTERNAL_CS_INVALID = -11,
    CV_E_NVRAM_BUFFERING_FAILED = -12,
    CV_E_INTERNAL_CS_INVALID = -13,
    CV_E_INVALID_FIRMWARE_IMAGE = -14,
    CV_E_FIRMWARE_FLASH_FAILED = -15,
    CV_E_THREAD_TIMEOUT = -16,
    CV_E_COMM_READ_TIMEOUT = -17,
    CV_E_INVALID_FUNC_PARAM = -18,
    CV_E_OPERATION_CANCELED = -19,
    CV_E_PORT_BUSY = -20,
    CV_E_INVALID_VERSION = -21,
    CV_E_INVALID_HARDWARE_ID = -22,
    CV_E_LARGE_BIN_BANK_FAILED = -23,
    CV_E_INVALID_REQUEST_PARAM = -24,
};

// The code's own name, or "(ERROR NOT IN LIST)" for any value outside -24 to 0.
const char* ResultToString(CvResult result);
