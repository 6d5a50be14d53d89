#include "ui/layout_rules.h"

Offset CenteredCaption(int areaWidth, int areaHeight, int w, int h) {
    return {(areaWidth - w + 1) / 2, (areaHeight - h + 1) / 2};
}

int CenteredTabCaption(int start, int extent, int size) {
    return start + extent / 2 - size / 2;
}

bool ButtonShowsActive(bool focusIsThisButton, bool focusIsAButton, bool isDefault) {
    return focusIsThisButton || (!focusIsAButton && isDefault);
}

bool AcceptsMargin(int margin) {
    return margin >= -1;
}
