// Stand-ins for classes whose controls are being written elsewhere: each registers its class with
// the attributes the control will have and the default window procedure, so that registration
// and dialogs naming the class work in the meantime. Each goes when its control's source arrives.
#include "control_common.h"
#include "kv_controls.h"

ATOM RegisterAnalogGaugeClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "KVANALOGGAUGE", DefWindowProcA, CS_DBLCLKS, IDC_ARROW,
                                SystemColourBrush(COLOR_WINDOW));
}

ATOM RegisterStatusGaugeClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "KVSTATUSGAUGE", DefWindowProcA, CS_DBLCLKS, IDC_ARROW,
                                SystemColourBrush(COLOR_WINDOW));
}
