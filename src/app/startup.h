#pragma once

#include <memory>

class CompositionRoot;
class QCoreApplication;
class SingleInstance;

// The start-up sequence both programs share, from the application identity to the event loop
// and the clean-up after it: the command line and its commands, the folders, the crash record,
// the log, the single-instance guard, the composition root, and the run without a window. The
// desktop program adds its window (ui/); the service program has none.
namespace Startup {

// What a program with a window adds: its application object, and the run with the window.
class Window
{
public:
    virtual ~Window() = default;
    // Before anything else needs the application object; the window's attributes are set here.
    virtual std::unique_ptr<QCoreApplication> application(int &argc, char **argv) = 0;
    // The stores are open, the services run and the language is in force: shows the window and
    // runs the event loop, whose exit code it returns.
    virtual int run(CompositionRoot &root, SingleInstance &instance) = 0;
};

// `window` is null for the service program, which always runs without one.
int run(int &argc, char **argv, Window *window = nullptr);

// "/log", "/cfg", "/data", "/data/self_test", "/log/output" under the root, parents first; the
// root itself when it is missing.
void createAppDirectories();

// A missing "/cfg/usb.cfg" under the root is seeded from the shipped default.
void seedShippedFiles();

} // namespace Startup
