// Getting a frame's drawing to the display cheaply under Wine.
//
// Wine keeps a window's pixels itself and copies them to the X server as one
// rectangle around everything drawn since the last copy, once a frame, when
// the saver waits for its next message. A few small sprites scattered over
// the screen then cost a copy of nearly the whole screen. Asking for the
// keyboard's asynchronous state makes Wine copy what has been drawn so far,
// so that with few sprites a frame sends a few small rectangles instead; with
// many, one large copy is cheaper than many small ones. On Windows the call
// only reads a key's state.
#pragma once

// Decides, at the start of a frame that will draw about this many sprites,
// whether each one is pushed as it is drawn.
void StartFramePushes(int sprites);
// A sprite has been drawn: pushed now if the frame pushes each one.
void SpriteDrawn();
