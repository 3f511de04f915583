#include "device_config.h"

#include <cstdlib>

namespace {

struct ModelPreset {
    const char* name;
    std::uint8_t letter;
    std::uint8_t recordModel;
    std::uint8_t major;
    std::uint8_t minor;
    std::uint32_t ramSize;
};

constexpr ModelPreset kPresets[] = {
    {"vespin1", '1', 0, 3, 1, 0x8000},      {"vespin2", '2', 0, 3, 1, 0x10000},
    {"quorren", 'Q', 0, 2, 0, 0x80000},     {"corvane", 'K', 'K', 3, 0, 0x10000},
    {"pardyn", 'J', 'J', 1, 4, 0x10000},    {"vorrak", 'H', 'H', 1, 2, 0x8000},
    {"glintsear", 'G', 'G', 1, 0, 0x10000}, {"tessiq", 'I', 'I', 1, 0, 0x10000},
    {"dravel", 'L', 'L', 11, 0, 0x80000},   {"dravel2", 'M', 'M', 12, 3, 0x80000},
    {"skelmar", 'Y', 'Y', 4, 2, 0x200000},
};

// A feature is there unless the firmware has the named major number and a lower minor.
bool Unless(const DeviceConfig& config, std::uint8_t major, std::uint8_t minor) {
    return !(config.major == major && config.minor < minor);
}

bool IsRecordFamily(std::uint8_t letter) {
    for (char c : {'K', 'G', 'L', 'Y', 'J', 'H', 'M', 'I'}) {
        if (letter == static_cast<std::uint8_t>(c)) {
            return true;
        }
    }
    return false;
}

bool ParseNumber(const std::string& text, std::uint32_t* value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    unsigned long parsed = std::strtoul(text.c_str(), &end, 0);
    *value = static_cast<std::uint32_t>(parsed);
    return *end == '\0';
}

} // namespace

bool ConfigForModel(const std::string& name, DeviceConfig* config) {
    for (const auto& preset : kPresets) {
        if (name == preset.name) {
            config->letter = preset.letter;
            config->recordModel = preset.recordModel;
            config->major = preset.major;
            config->minor = preset.minor;
            config->ramSize = preset.ramSize;
            return true;
        }
    }
    return false;
}

std::string ModelNames() {
    std::string names;
    for (const auto& preset : kPresets) {
        names += names.empty() ? "" : ", ";
        names += preset.name;
    }
    return names;
}

DeviceFeatures FeaturesOf(const DeviceConfig& config) {
    DeviceFeatures f;
    if (!IsRecordFamily(config.letter)) {
        return f;
    }
    f.hwinfo = true;
    switch (config.recordModel) {
    case 'K':
        f.bulk = Unless(config, 2, 12);
        break;
    case 'J':
        f.bulk = f.encryption = true;
        break;
    case 'H':
        f.bulk = true;
        break;
    case 'L':
        f.encryption = Unless(config, 10, 15);
        f.banks = Unless(config, 10, 5);
        f.bulk = Unless(config, 10, 12);
        break;
    case 'M':
        f.bulk = f.encryption = f.banks = true;
        break;
    case 'Y':
        f.bulk = f.encryption = f.skelmar = true;
        break;
    default:
        break;
    }
    return f;
}

// KIND[,cmd=NAME][,skip=N][,times=N][,arg=N][,at=N]
bool ParseFaultRule(const std::string& text, FaultRule* rule) {
    static const struct {
        const char* name;
        FaultKind kind;
    } kinds[] = {
        {"echo", FaultKind::Echo},     {"silent", FaultKind::Silent},   {"short", FaultKind::Short},
        {"badsum", FaultKind::BadSum}, {"unknown", FaultKind::Unknown}, {"nak", FaultKind::Nak},
        {"stall", FaultKind::Stall},   {"drop", FaultKind::Drop},       {"gap", FaultKind::Gap},
    };
    std::size_t comma = text.find(',');
    std::string kind = text.substr(0, comma);
    bool known = false;
    for (const auto& k : kinds) {
        if (kind == k.name) {
            rule->kind = k.kind;
            known = true;
        }
    }
    if (!known) {
        return false;
    }
    while (comma != std::string::npos) {
        std::size_t next = text.find(',', comma + 1);
        std::string item =
            text.substr(comma + 1, next == std::string::npos ? std::string::npos : next - comma - 1);
        comma = next;
        std::size_t eq = item.find('=');
        if (eq == std::string::npos) {
            return false;
        }
        std::string key = item.substr(0, eq);
        std::string value = item.substr(eq + 1);
        if (key == "cmd") {
            rule->command = value;
        } else if (key == "skip") {
            if (!ParseNumber(value, &rule->skip)) {
                return false;
            }
        } else if (key == "times") {
            if (!ParseNumber(value, &rule->times)) {
                return false;
            }
        } else if (key == "arg") {
            if (!ParseNumber(value, &rule->arg)) {
                return false;
            }
            rule->argGiven = true;
        } else if (key == "at") {
            if (!ParseNumber(value, &rule->at)) {
                return false;
            }
            rule->atGiven = true;
        } else {
            return false;
        }
    }
    return true;
}
