#include "sim_options.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

bool ParseUnsigned(const std::string& text, std::uint32_t* value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    unsigned long parsed = std::strtoul(text.c_str(), &end, 0);
    *value = static_cast<std::uint32_t>(parsed);
    return *end == '\0';
}

// A byte given as one character ("K") or as a number ("0x4B", "75").
bool ParseByte(const std::string& text, std::uint8_t* value) {
    std::uint32_t number = 0;
    if (text.size() == 1) {
        *value = static_cast<std::uint8_t>(text[0]);
        return true;
    }
    if (!ParseUnsigned(text, &number) || number > 0xFF) {
        return false;
    }
    *value = static_cast<std::uint8_t>(number);
    return true;
}

// A vendor ID is a number ("3", "0x03"), or one letter such as "n".
bool ParseVendor(const std::string& text, std::uint8_t* value) {
    if (text.size() == 1 && !std::isdigit(static_cast<unsigned char>(text[0]))) {
        *value = static_cast<std::uint8_t>(text[0]);
        return true;
    }
    std::uint32_t number = 0;
    if (!ParseUnsigned(text, &number) || number > 0xFF) {
        return false;
    }
    *value = static_cast<std::uint8_t>(number);
    return true;
}

bool ParseVersion(const std::string& text, DeviceConfig* device) {
    std::size_t dot = text.find('.');
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    if (dot == std::string::npos || !ParseUnsigned(text.substr(0, dot), &major) ||
        !ParseUnsigned(text.substr(dot + 1), &minor) || major > 0xFF || minor > 0xFF) {
        return false;
    }
    device->major = static_cast<std::uint8_t>(major);
    device->minor = static_cast<std::uint8_t>(minor);
    return true;
}

bool ParseSerialBytes(const std::string& text, DeviceConfig* device) {
    if (text.size() != 16) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        std::uint32_t value = 0;
        if (!ParseUnsigned("0x" + text.substr(i * 2, 2), &value)) {
            return false;
        }
        device->serial[1 + i] = static_cast<std::uint8_t>(value);
    }
    return true;
}

bool ParseLoad(const std::string& text, SimOptions::Load* load) {
    std::size_t at = text.rfind('@');
    load->path = text.substr(0, at);
    return at == std::string::npos || ParseUnsigned(text.substr(at + 1), &load->address);
}

} // namespace

std::string SimUsage() {
    return "Usage: tevrix-sim [options]\n"
           "Serves a simulated emulator device on a new pseudo-terminal, prints the terminal's path\n"
           "on the first line of standard output and answers until SIGTERM or SIGINT.\n"
           "\n"
           "  --link PATH          also make PATH a symlink to the terminal (for example a Wine\n"
           "                       COM port: $WINEPREFIX/dosdevices/com33); removed on exit\n"
           "  --model NAME         device family and model (default corvane), one of:\n"
           "                       " +
           ModelNames() +
           "\n"
           "  --letter C           firmware letter of the \"VV\" answer (character or number)\n"
           "  --version MAJ.MIN    firmware version, decimal\n"
           "  --record C           model letter of the hardware-information record\n"
           "  --interface C        interface letter of the record: U, S or B (default U)\n"
           "  --vendor V           vendor ID of the serial record: a number, or a letter such as n\n"
           "                       (default n: none)\n"
           "  --serial HEX16       the eight serial-number bytes, as 16 hex digits\n"
           "  --ram-size N         RAM size in bytes (Skelmar: both address spaces together)\n"
           "  --rate BAUD          the device's line rate at start (default 115200); a host at\n"
           "                       another rate gets noise back: every byte it sends returns as\n"
           "                       two bytes of garbage\n"
           "  --load FILE[@ADDR]   load FILE into RAM at ADDR (default 0) before serving\n"
           "  --dump FILE          write the whole RAM to FILE on exit and on SIGUSR1\n"
           "  --pace               pace the line: every byte takes 10 bit times at the line rate\n"
           "  --latency MS         hold every answer back MS milliseconds before its first byte, as\n"
           "                       a USB adapter's latency timer does (16 ms on common adapters)\n"
           "  --chatty             not an emulator: stream text lines at the line rate (a GPS\n"
           "                       receiver, a board printing its log) and never answer\n"
           "  --fault FAULT        inject a fault; repeatable. FAULT is\n"
           "                       KIND[,cmd=NAME][,skip=N][,times=N][,arg=N][,at=N] with KIND:\n"
           "                         echo     the request is sent back before the answer\n"
           "                         silent   no answer\n"
           "                         short    only the first arg bytes (default: half)\n"
           "                         badsum   the last answer byte (the checksum) is wrong\n"
           "                         unknown  '?' in the first answer byte\n"
           "                         nak      a wrong acknowledgement ('E'; a wrong sum to X)\n"
           "                         stall    the answer comes arg ms late\n"
           "                         drop     the line drops after arg answer bytes\n"
           "                         gap      the answer stops for arg ms after at bytes (default:\n"
           "                                  half of it), then the rest follows\n"
           "                       cmd selects one request by name (VV S HR NS N B ZR ZW R W w X;\n"
           "                       default: all); skip and times count the requests it selects\n"
           "  --help               this text\n"
           "\n"
           "RAM layout of --load and --dump: banks in order (the whole RAM of a banked model);\n"
           "on a Skelmar space 1 at 0 and space 2 at 0x100000.\n";
}

bool ParseSimOptions(int argc, char** argv, SimOptions* options, std::string* error) {
    DeviceConfig& device = options->device;
    bool modelSet = false;
    std::vector<std::pair<std::string, std::string>> overrides;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            options->help = true;
            continue;
        }
        if (option == "--pace") {
            options->pace = true;
            continue;
        }
        if (option == "--chatty") {
            options->device.chatty = true;
            continue;
        }
        if (i + 1 >= argc) {
            *error = "missing value for " + option;
            return false;
        }
        std::string value = argv[++i];
        if (option == "--model") {
            if (!ConfigForModel(value, &device)) {
                *error = "unknown model " + value;
                return false;
            }
            modelSet = true;
        } else {
            overrides.emplace_back(option, value);
        }
    }
    if (!modelSet) {
        ConfigForModel("corvane", &device);
    }
    // Overrides apply on top of the model, whatever their order on the command line.
    for (const auto& [option, value] : overrides) {
        bool ok = true;
        std::uint32_t number = 0;
        if (option == "--link") {
            options->link = value;
        } else if (option == "--letter") {
            ok = ParseByte(value, &device.letter);
        } else if (option == "--version") {
            ok = ParseVersion(value, &device);
        } else if (option == "--record") {
            ok = ParseByte(value, &device.recordModel);
        } else if (option == "--interface") {
            ok = ParseByte(value, &device.interfaceLetter);
        } else if (option == "--vendor") {
            ok = ParseVendor(value, &device.serial[0]);
        } else if (option == "--serial") {
            ok = ParseSerialBytes(value, &device);
        } else if (option == "--ram-size") {
            ok = ParseUnsigned(value, &number) && number >= 256 && number <= 0x1000000;
            device.ramSize = number;
        } else if (option == "--latency") {
            ok = ParseUnsigned(value, &device.latencyMs) && device.latencyMs <= 10000;
        } else if (option == "--rate") {
            ok = ParseUnsigned(value, &device.rate) && device.rate > 0;
        } else if (option == "--load") {
            SimOptions::Load load;
            ok = ParseLoad(value, &load);
            options->loads.push_back(load);
        } else if (option == "--dump") {
            options->dump = value;
        } else if (option == "--fault") {
            FaultRule rule;
            ok = ParseFaultRule(value, &rule);
            device.faults.push_back(rule);
        } else {
            *error = "unknown option " + option;
            return false;
        }
        if (!ok) {
            *error = "bad value for " + option + ": " + value;
            return false;
        }
    }
    return true;
}
