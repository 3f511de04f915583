#pragma once
// Messages of the KVSCOPE control (0x0407 is not used).

enum ScopeMessage : unsigned {
    SCM_ADDSAMPLE = 0x0400,      // lParam: const double*, the sample
    SCM_SETRANGE = 0x0401,       // wParam: const double* maximum, lParam: const double* minimum
    SCM_SETXCAPTION = 0x0402,    // lParam: text, at most 49 characters kept
    SCM_SETYCAPTION = 0x0403,    // lParam: text, at most 49 characters kept
    SCM_SETAXISCOLOR = 0x0404,   // lParam: COLORREF
    SCM_SETTRACECOLOR = 0x0405,  // lParam: COLORREF
    SCM_SETBKCOLOR = 0x0406,     // lParam: COLORREF
    SCM_SETDECIMALS = 0x0408,    // lParam: digits after the point of the Y labels
    SCM_SETSTEP = 0x0409,        // lParam: pixels per sample
    SCM_GETSTEP = 0x040A,        //
    SCM_REDRAW = 0x040B,         // rebuilds; in static mode plots the data
    SCM_GETCAPACITY = 0x040C,    //
    SCM_SETDATA = 0x040D,        // wParam: caller's array, lParam: highest byte offset of an element
    SCM_GETDATA = 0x040E,        //
    SCM_SETSTARTOFFSET = 0x040F, // lParam: byte offset of the first element
    SCM_SETELEMENTSIZE = 0x0410, // lParam: 1 (8-bit), 2 (16-bit) or 4 (float)
    SCM_SETGRID = 0x0411,        // wParam: grid flag, lParam: rebuild flag
    SCM_SETHEXLABELS = 0x0412,   // wParam: hex flag, lParam: rebuild flag
    SCM_SETLIVE = 0x0413,        // lParam: live flag
    SCM_SETUSERDATA = 0x0414,    // lParam: value kept for the caller
    SCM_GETUSERDATA = 0x0415,    //
    SCM_SETMESSAGE = 0x0416,     // wParam: rebuild flag, lParam: text, at most 59 characters kept
};
