#pragma once
// Where an inset button sits in its field's window, and how a click on it is tracked, apart from
// the window calls.

// Edges of a rectangle in window-relative coordinates (the window's top-left corner is 0, 0).
struct InsetRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Widths of the field's own non-client edges.
struct InsetBorders {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// The edges as the differences between the rectangle proposed to WM_NCCALCSIZE and the client
// rectangle the field's own procedure made of it.
InsetBorders MeasureBorders(const InsetRect& proposed, const InsetRect& client);

// The client rectangle with room for a button of the given width taken off its right end; it never
// becomes narrower than nothing.
InsetRect NarrowClient(const InsetRect& client, int buttonWidth);

// The button inside a window of the given size: at the right end, within the top, right and
// bottom edges, moved right by however much the right edge is wider than the left one.
InsetRect InsetButtonRect(int windowWidth, int windowHeight, const InsetBorders& borders, int buttonWidth);

// Whether a point lies in the rectangle (left and top edges inside, right and bottom outside).
bool InsetContains(const InsetRect& rect, int x, int y);

// A click on the button: it begins with a press on the button, the button shows pressed while the
// mouse is over it, and the click completes when the mouse is released over the button.
class InsetClick {
  public:
    // A press (or the second press of a double click); returns whether it begins a click.
    bool Press(bool onButton);
    // The mouse moved while a click is in progress; returns whether the pressed look changed.
    bool Move(bool onButton);
    // The button was released; returns whether the click completed on the button. Ends the click.
    bool Release(bool onButton);
    // The click was broken off (the capture went elsewhere); returns whether one was in progress.
    bool Cancel();

    bool pressed() const { return pressed_; }
    bool tracking() const { return tracking_; }

  private:
    bool pressed_ = false;
    bool tracking_ = false;
};
