#pragma once
#include <windows.h>

// Registers the library's twelve window classes for the instance, in a fixed order; each is
// tried whatever happened to the ones before. Returns the atom of the last one (0 on failure).
ATOM RegisterControlClasses(HINSTANCE instance);

ATOM Register2DChartClass(HINSTANCE instance);
ATOM RegisterScopeClass(HINSTANCE instance);
ATOM Register3DChartClass(HINSTANCE instance);
ATOM RegisterDataChartClass(HINSTANCE instance);
ATOM RegisterTextProgressClass(HINSTANCE instance);
ATOM RegisterRichStaticClass(HINSTANCE instance);
ATOM RegisterGridControlClass(HINSTANCE instance);
ATOM RegisterDigitalReadoutClass(HINSTANCE instance);
ATOM RegisterAnalogGaugeClass(HINSTANCE instance);
ATOM RegisterStatusGaugeClass(HINSTANCE instance);
ATOM RegisterTabSheetClass(HINSTANCE instance);
ATOM RegisterPropTreeContainerClass(HINSTANCE instance);
