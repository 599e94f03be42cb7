#pragma once

#include "startup.h"

#include <functional>

class QQuickView;

// The desktop program's window around the running program: the application object with its
// window attributes, the backend that draws, the QML module "Quelta" 1.0 made of the objects
// of the composition root, the main screen, the translator's catalogues
// applied to the screens, and a second start showing the window again.
class DesktopWindow : public Startup::Window
{
public:
    // Called once the window is shown, before the event loop runs (the demo's screenshot walk).
    using Shown = std::function<void(QQuickView *view, CompositionRoot &root)>;

    explicit DesktopWindow(const Shown &shown = Shown());

    std::unique_ptr<QCoreApplication> application(int &argc, char **argv) override;
    int run(CompositionRoot &root, SingleInstance &instance) override;

    // The module's singletons for the objects `root` owns (once per process), and a view's
    // engine joined to the program: Qt.quit() ends it, the translator's catalogues reach its
    // texts (the program and the screens' tests).
    static void registerTypes(CompositionRoot &root);
    static void connectView(QQuickView *view, CompositionRoot &root);

private:
    Shown m_shown;
};
