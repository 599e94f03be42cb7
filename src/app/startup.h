#pragma once

#include <functional>

class CompositionRoot;
class QQuickView;

// The program's start-up sequence, from the application identity to the event loop and the
// clean-up after it.
namespace Startup {

// Called once the window is shown, before the event loop runs (the demo's screenshot walk).
using WindowShown = std::function<void(QQuickView *view, CompositionRoot &root)>;

int run(int &argc, char **argv, const WindowShown &windowShown = WindowShown());

// "/log", "/cfg", "/data", "/data/self_test", "/log/output" under the root, parents first; the
// root itself when it is missing.
void createAppDirectories();

// A missing "/cfg/usb.cfg" under the root is seeded from the shipped default.
void seedShippedFiles();

} // namespace Startup
