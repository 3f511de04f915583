#pragma once
// The 3D chart's view, apart from the window: points of the unit cube [-1, 1]^3 turned about the
// vertical axis, tilted towards the viewer and scaled into a client area.

struct ViewPoint {
    int x = 0;
    int y = 0;
};

struct Chart3DView {
    double yawDegrees = 30.0;
    double pitchDegrees = 20.0;
    int width = 0;
    int height = 0;
};

// Where a point of the cube shows: the cube's centre at the middle of the area, z upwards on the
// screen, the whole turned cube within the area.
ViewPoint ProjectPoint(const Chart3DView& view, double x, double y, double z);
