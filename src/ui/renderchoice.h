#pragma once

#include <QByteArray>
#include <QString>

// Which Qt Quick backend draws the window. OpenGL drawn by a software rasteriser costs a whole
// core redrawing the window, where Qt Quick's own software renderer repaints only what changed;
// so on such a machine the software renderer is asked for, unless the user named a backend.
namespace RenderChoice {

// True for the renderer names of OpenGL implementations that draw on the processor.
bool isSoftwareRasteriser(const QString &glRenderer);

// The backend to ask for before the first window: "software" when the user named none (the
// environment variables QT_QUICK_BACKEND and QMLSCENE_DEVICE are empty) and OpenGL is missing
// or a software rasteriser; else empty, which keeps the user's choice or Qt's default.
QString backendFor(const QByteArray &userBackend, bool glAvailable, const QString &glRenderer);

// The renderer name of the OpenGL the application's shared context was made with (one is made
// for a context at all when there is none); empty, with available false, when none can be made.
QString openGlRenderer(bool *available);

// Applies backendFor to this process before the first window; says in the log what was chosen.
void apply();

} // namespace RenderChoice
