#include "renderchoice.h"

#include "logcategories.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QScopedPointer>

namespace RenderChoice {

bool isSoftwareRasteriser(const QString &glRenderer)
{
    // Mesa's llvmpipe, softpipe and swrast (whose classic driver calls itself "Software
    // Rasterizer").
    static const char *const names[] = {"llvmpipe", "softpipe", "swrast", "software rasterizer"};
    for (const char *name : names) {
        if (glRenderer.contains(QLatin1String(name), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString backendFor(const QByteArray &userBackend, bool glAvailable, const QString &glRenderer)
{
    if (!userBackend.trimmed().isEmpty())
        return QString();
    if (!glAvailable || isSoftwareRasteriser(glRenderer))
        return QStringLiteral("software");
    return QString();
}

QString openGlRenderer(bool *available)
{
    *available = false;
    QOpenGLContext *context = QOpenGLContext::globalShareContext();
    QScopedPointer<QOpenGLContext> own;
    if (!context || !context->isValid()) {
        own.reset(new QOpenGLContext);
        if (!own->create())
            return QString();
        context = own.data();
    }
    QOffscreenSurface surface;
    surface.setFormat(context->format());
    surface.create();
    if (!surface.isValid() || !context->makeCurrent(&surface))
        return QString();
    const auto *name = context->functions()->glGetString(GL_RENDERER);
    const QString renderer =
        name ? QString::fromLatin1(reinterpret_cast<const char *>(name)) : QString();
    context->doneCurrent();
    *available = true;
    return renderer;
}

void apply()
{
    QByteArray user = qgetenv("QT_QUICK_BACKEND");
    if (user.trimmed().isEmpty())
        user = qgetenv("QMLSCENE_DEVICE");
    if (!user.trimmed().isEmpty()) {
        qCInfo(lcInterface) << "Qt Quick backend chosen by the user:" << user;
        return;
    }
    bool available = false;
    const QString renderer = openGlRenderer(&available);
    const QString backend = backendFor(user, available, renderer);
    if (backend.isEmpty()) {
        qCInfo(lcInterface) << "Qt Quick draws with OpenGL:" << renderer;
        return;
    }
    QQuickWindow::setSceneGraphBackend(backend);
    if (available)
        qCInfo(lcInterface) << "Qt Quick draws with its software renderer: OpenGL here is"
                            << renderer << ", a software rasteriser";
    else
        qCInfo(lcInterface) << "Qt Quick draws with its software renderer: no OpenGL context";
}

} // namespace RenderChoice
