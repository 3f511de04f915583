#pragma once

// After the line that names the found emulator (the start's FOUND, the dialog's Found, and again
// after a reconnection): which port it answers on and at what rate, "Port: /dev/ttyUSB0, 115200
// baud" ("Port: COM7, 921600 baud" on Windows).
void PrintPortLine();
