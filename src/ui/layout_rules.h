#pragma once
// Small placement rules of the self-drawn parts of controls, apart from the drawing itself.

struct Offset {
    int x;
    int y;
};

// Where a caption of size w x h starts in an area of size areaWidth x areaHeight, relative to
// the area's corner, so that it sits in the middle; an odd spare pixel goes before the caption.
Offset CenteredCaption(int areaWidth, int areaHeight, int w, int h);

// The start of a tab caption of the given size centred in a tab starting at start with the
// given extent: each half is taken on its own, rounded toward zero.
int CenteredTabCaption(int start, int extent, int size);

// Whether a push button is drawn as the active one after the focus moved: it is when it has the
// focus itself, or when it is the default button and the focus went to a control that is no
// button.
bool ButtonShowsActive(bool focusIsThisButton, bool focusIsAButton, bool isDefault);

// A caption margin of -1 centres the caption; smaller values are refused.
bool AcceptsMargin(int margin);
