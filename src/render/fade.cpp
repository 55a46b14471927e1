#include "render/fade.h"

#include "platform/core/platform.h"
#include "render/surface.h"

namespace tessik {

void fadeIn(Surface &diagram, const Surface &picture, int pauseMilliseconds, Platform &platform)
{
    for (int frame = 0; frame < kFadeFrames; ++frame) {
        diagram.blendFrom(picture, fadeAlpha(frame));
        // No events are handled during the fade, so the frame has to be shown now.
        diagram.refresh();
        platform.pause(pauseMilliseconds);
    }
    platform.processEvents();
}

} // namespace tessik
