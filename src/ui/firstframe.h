#pragma once

#include <functional>

class QObject;
class QQuickWindow;

// Runs `then` once, on `context`'s thread, after `window` has drawn its next frame (its first,
// when called before it shows): for what the window's first frame need not wait for.
void afterFrameDrawn(QQuickWindow *window, QObject *context, std::function<void()> then);
