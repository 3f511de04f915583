// The device's answer to each request, plain and encrypted.
#include "device_model.h"
#include "link_cipher.h"

namespace {

std::uint8_t Sum8(const std::uint8_t* bytes, std::size_t count) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
    }
    return sum;
}

Reply Bytes(std::vector<std::uint8_t> bytes) {
    Reply reply;
    reply.bytes = std::move(bytes);
    return reply;
}

Reply Refuse() {
    return Bytes({'?'});
}

bool ValidBaudIndex(std::uint8_t index) {
    return index == 0 || index == 1 || index == 3 || index == 7;
}

// The 16 address bits of a slow packet, or 20 (plus the space bits) on a Skelmar.
std::uint32_t Skelmar20(const std::uint8_t* a) {
    std::uint32_t space = (a[0] & 0x20) ? 0x100000 : 0;
    return space + ((a[0] & 0x0F) << 16 | a[1] << 8 | a[2]);
}

} // namespace

Reply DeviceModel::Answer(std::vector<std::uint8_t>& request, const std::string& name) {
    if (name == "VV") {
        return Version();
    }
    if (name == "S") {
        return Baud(request);
    }
    if (name == "HR") {
        return Eeprom(request);
    }
    if (name == "NS") {
        return Serial();
    }
    if (name == "N") {
        return VendorWrite(request);
    }
    if (name == "B") {
        return Bank(request);
    }
    if (name == "ZR") {
        return BulkRead(request);
    }
    if (name == "ZW") {
        return BulkWrite(request);
    }
    if (name == "R") {
        return SlowRead(request);
    }
    return SlowWrite(request);
}

Reply DeviceModel::Version() {
    return Bytes({config_.major, config_.minor, config_.letter});
}

Reply DeviceModel::Baud(const std::vector<std::uint8_t>& request) {
    if (!features_.hwinfo || !ValidBaudIndex(request[1])) {
        return Refuse();
    }
    Reply reply = Bytes({'O'});
    reply.rateAfter = 921600 / (request[1] + 1);
    rate_ = reply.rateAfter;
    return reply;
}

// EEPROM: byte 0 unused, then the hardware-information record at address 1.
Reply DeviceModel::Eeprom(const std::vector<std::uint8_t>& request) {
    if (!features_.hwinfo) {
        return Refuse();
    }
    std::uint8_t eeprom[256] = {};
    eeprom[1] = config_.recordModel;
    eeprom[2] = 0x01;
    eeprom[4] = config_.interfaceLetter;
    std::vector<std::uint8_t> out;
    std::uint32_t address = request[3] << 8 | request[4];
    for (std::uint32_t i = 0; i < request[2]; ++i) {
        out.push_back(eeprom[(address + i) & 0xFF]);
    }
    out.push_back(Sum8(out.data(), out.size()));
    return Bytes(out);
}

Reply DeviceModel::Serial() {
    std::vector<std::uint8_t> out(serial, serial + 9);
    out.push_back(Sum8(serial, 9));
    return Bytes(out);
}

Reply DeviceModel::VendorWrite(const std::vector<std::uint8_t>& request) {
    for (int i = 1; i < 9; ++i) {
        if (request[1 + i] != serial[i]) {
            return Bytes({'E'});
        }
    }
    serial[0] = request[1];
    return Bytes({'O'});
}

Reply DeviceModel::Bank(const std::vector<std::uint8_t>& request) {
    if (!features_.banks) {
        return Refuse();
    }
    std::uint8_t selector = request[1];
    std::uint8_t value = request[2];
    if (selector == 'R' && value == 'R') {
        return Bytes({rwBank});
    }
    if (selector == 'E' && value == 'E') {
        return Bytes({emulationBank});
    }
    if ((selector != 'R' && selector != 'E' && selector != 'S') || value > 8) {
        return Bytes({'E'});
    }
    (selector == 'R' ? rwBank : emulationBank) = value;
    return Bytes({'O'});
}

// Slow packets reach the selected R/W bank (all of RAM from its start on the large-bin bank).
std::uint32_t DeviceModel::SlowAddress(const std::uint8_t* a) const {
    if (features_.skelmar) {
        return Skelmar20(a);
    }
    std::uint32_t offset = a[0] << 8 | a[1];
    if (features_.banks && rwBank < 8) {
        offset += rwBank * 0x10000u;
    }
    return offset;
}

// Bulk requests carry address bits 23..8; within one 64 KB bank unless the R/W bank is 8.
std::uint32_t DeviceModel::BulkAddress(const std::uint8_t* a) const {
    std::uint32_t address = (a[0] << 16) | (a[1] << 8);
    if (features_.skelmar) {
        std::uint8_t full[3] = {a[0], a[1], 0};
        return Skelmar20(full);
    }
    if (features_.banks && rwBank < 8) {
        return rwBank * 0x10000u + (address & 0xFFFF);
    }
    return address;
}

bool DeviceModel::OpenFields(std::uint8_t** fields, std::size_t length, std::uint8_t* seed) {
    if (!Encrypted()) {
        return true;
    }
    *seed = CipherDecrypt(CipherStartSeed(), *fields, length);
    if ((*fields)[0] != 0x01 || (*fields)[1] != 0x02) {
        return false;
    }
    *fields += 2;
    return true;
}

Reply DeviceModel::RamReply(std::uint32_t address, std::size_t count, std::uint8_t seed) const {
    std::vector<std::uint8_t> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = ram[(address + i) % ram.size()];
    }
    if (Encrypted()) {
        CipherEncrypt(seed, out.data(), out.size());
    }
    out.push_back(Sum8(out.data(), out.size()));
    return Bytes(out);
}

void DeviceModel::StoreRam(std::uint32_t address, const std::uint8_t* data, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        ram[(address + i) % ram.size()] = data[i];
    }
}

Reply DeviceModel::SlowRead(std::vector<std::uint8_t>& request) {
    std::size_t count = request[1] == 0 ? 256 : request[1];
    std::uint8_t* fields = request.data() + 2;
    std::uint8_t seed = 0;
    if (!OpenFields(&fields, 2 + AddressBytes(), &seed)) {
        return Refuse();
    }
    return RamReply(SlowAddress(fields), count, seed);
}

Reply DeviceModel::SlowWrite(std::vector<std::uint8_t>& request) {
    std::uint8_t command = request[0];
    if (command == 'w' && features_.hwinfo) {
        return Refuse();
    }
    std::size_t count = request[1] == 0 ? 256 : request[1];
    std::uint8_t* fields = request.data() + 2;
    std::size_t header = AddressBytes();
    std::uint8_t seed = 0;
    if (!OpenFields(&fields, 2 + header + count, &seed)) {
        return Refuse();
    }
    const std::uint8_t* data = fields + header;
    StoreRam(SlowAddress(fields), data, count);
    if (command == 'X') {
        std::uint32_t sum16 = 0;
        for (std::size_t i = 0; i < count; ++i) {
            sum16 = (sum16 + data[i]) & 0xFFFF;
        }
        return Bytes({static_cast<std::uint8_t>(sum16), static_cast<std::uint8_t>(sum16 >> 8)});
    }
    return Bytes({'O'});
}

Reply DeviceModel::BulkRead(std::vector<std::uint8_t>& request) {
    if (!features_.bulk || request[2] == 0) {
        return Refuse();
    }
    std::size_t count = request[2] * 256u;
    std::uint8_t* fields = request.data() + 3;
    std::uint8_t seed = 0;
    if (!OpenFields(&fields, 4, &seed)) {
        return Refuse();
    }
    return RamReply(BulkAddress(fields), count, seed);
}

Reply DeviceModel::BulkWrite(std::vector<std::uint8_t>& request) {
    if (!features_.bulk || request[2] == 0) {
        return Refuse();
    }
    std::size_t count = request[2] * 256u;
    std::uint8_t* fields = request.data() + 3;
    std::uint8_t seed = 0;
    if (!OpenFields(&fields, 4 + count, &seed)) {
        return Refuse();
    }
    StoreRam(BulkAddress(fields), fields + 2, count);
    return Bytes({'O'});
}
