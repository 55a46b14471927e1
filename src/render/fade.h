#pragma once

namespace tessik {

class Platform;
class Surface;

inline constexpr int kFadeFrames = 30;
// The pause after each frame; a new run only fades to the empty picture and so goes quickly.
inline constexpr int kFadeFramePause = 50;
inline constexpr int kFadeRestartPause = 1;

// The constant alpha of frame 0..29: 1, 3, 5, ..., 59.
constexpr int fadeAlpha(int frame)
{
    return 1 + 2 * frame;
}

// Fades `picture` onto `diagram` in place: each frame blends it in with the frame's alpha,
// repaints the diagram at once and pauses; after the last frame waiting events run once.
// The picture is never copied over, so about 2 % of the old picture stays until the next
// redraw, as a faint trace of the previous step.
void fadeIn(Surface &diagram, const Surface &picture, int pauseMilliseconds, Platform &platform);

} // namespace tessik
