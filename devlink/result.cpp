#include "result.h"

const char* ResultToString(CvResult result) {
    static const char* const names[] = {
        "CV_S_OK",
        "CV_E_GENERAL_ERROR",
        "CV_E_PORT_NOT_INITIALIZED",
        "CV_E_REQUEST_NOT_SUPPORTED",
        "CV_E_COMM_WRITE_FAILURE",
        "CV_E_COMM_READ_FAILURE",
        "CV_E_DEVICE_NOT_FOUND",
        "CV_E_INVALID_RESPONSE",
        "CV_E_UNKNOWN_COMMAND",
        "CV_E_BAD_CHECKSUM",
        "CV_E_ALT_WRITE_BAD_CHECKSUM",
        "CV_E_EXTERNAL_CS_INVALID",
        "CV_E_NVRAM_BUFFERING_FAILED",
        "CV_E_INTERNAL_CS_INVALID",
        "CV_E_INVALID_FIRMWARE_IMAGE",
        "CV_E_FIRMWARE_FLASH_FAILED",
        "CV_E_THREAD_TIMEOUT",
        "CV_E_COMM_READ_TIMEOUT",
        "CV_E_INVALID_FUNC_PARAM",
        "CV_E_OPERATION_CANCELED",
        "CV_E_PORT_BUSY",
        "CV_E_INVALID_VERSION",
        "CV_E_INVALID_HARDWARE_ID",
        "CV_E_LARGE_BIN_BANK_FAILED",
        "CV_E_INVALID_REQUEST_PARAM",
    };
    if (result > 0 || result < CV_E_INVALID_REQUEST_PARAM) {
        return "(ERROR NOT IN LIST)";
    }
    return names[-result];
}
