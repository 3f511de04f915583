#include "kv_controls.h"

ATOM RegisterControlClasses(HINSTANCE instance) {
    using Registration = ATOM (*)(HINSTANCE);
    static constexpr Registration kInOrder[] = {
        Register2DChartClass,     RegisterScopeClass,          Register3DChartClass,
        RegisterDataChartClass,   RegisterTextProgressClass,   RegisterRichStaticClass,
        RegisterGridControlClass, RegisterDigitalReadoutClass, RegisterAnalogGaugeClass,
        RegisterStatusGaugeClass, RegisterTabSheetClass,       RegisterPropTreeContainerClass,
    };
    ATOM last = 0;
    for (Registration registration : kInOrder) {
        last = registration(instance);
    }
    return last;
}
