#include "program_device.h"

#include "log.h"

KVCorvane g_device;

void AttachDeviceLog() {
    LogSink* sink = DeviceLogFromEnvironment();
    g_device.logSink = sink;
    g_device.port.logSink = sink;
}
