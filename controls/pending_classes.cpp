// Stand-ins for classes whose controls are being written elsewhere: each registers its class with
// the attributes the control will have and the default window procedure, so that registration
// and dialogs naming the class work in the meantime. Each goes when its control's source arrives.
#include "control_common.h"
#include "kv_controls.h"

ATOM Register2DChartClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "2DCHART", DefWindowProcA, CS_DBLCLKS, IDC_ARROW,
                                SystemColourBrush(COLOR_WINDOW));
}

ATOM RegisterScopeClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "KVSCOPE", DefWindowProcA, 0, IDC_ARROW,
                                SystemColourBrush(COLOR_WINDOW));
}

ATOM RegisterRichStaticClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "KVRICHSTATIC", DefWindowProcA, CS_HREDRAW | CS_VREDRAW, IDC_ARROW,
                                nullptr);
}

ATOM RegisterAnalogGaugeClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "KVANALOGGAUGE", DefWindowProcA, CS_DBLCLKS, IDC_ARROW,
                                SystemColourBrush(COLOR_WINDOW));
}

ATOM RegisterStatusGaugeClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "KVSTATUSGAUGE", DefWindowProcA, CS_DBLCLKS, IDC_ARROW,
                                SystemColourBrush(COLOR_WINDOW));
}

ATOM RegisterTabSheetClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "KVTABSHEET", DefWindowProcA, CS_HREDRAW | CS_VREDRAW, IDC_ARROW,
                                SystemColourBrush(COLOR_BTNFACE));
}
