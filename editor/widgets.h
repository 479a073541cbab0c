// widgets.h: the small widgets the editor's panels share.
#pragma once

// Scroll state of a clipped panel region; owned by the caller.
struct PanelScroll {
    float offset;          // how far the content is scrolled up, 0 or more
    float contentHeight;   // measured at the end of the last frame, margin included
};
