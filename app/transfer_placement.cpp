#include "transfer_placement.h"

#include "corvane.h"

Placement PlaceTransfer(OperationParams* params, std::uint32_t size) {
    if (params->large && (g_device.capabilities & CAPS_BANKS)) {
        SetBank(&g_device, 8, 0, 1, 0);
    }
    if (params->noBackBuf) {
        return {params->emuAddress, ""};
    }
    std::uint32_t offset = 0;
    GetBackfillOffset(&g_device, size, &offset);
    params->emuAddress = 0;
    return {offset, " (Backfill)"};
}
