#include "platform/engine/qt/ScreenRendering.h"

#include <QByteArray>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>

namespace platform::engine::qt {

namespace {
    bool UserChoseRendering()
    {
        return qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QSG_RHI_BACKEND");
    }

    // Asks the shared context the application already made; a new one only when there is none.
    QByteArray OpenGlRenderer()
    {
        QOpenGLContext ownContext;
        QOpenGLContext* context = QOpenGLContext::globalShareContext();
        if (!context || !context->isValid()) {
            if (!ownContext.create())
                return {};
            context = &ownContext;
        }
        QOffscreenSurface surface;
        surface.setFormat(context->format());
        surface.create();
        if (!surface.isValid() || !context->makeCurrent(&surface))
            return {};
        QByteArray renderer(reinterpret_cast<const char*>(context->functions()->glGetString(GL_RENDERER)));
        context->doneCurrent();
        return renderer;
    }
}

bool IsSoftwareRenderer(std::string_view glRenderer)
{
    QByteArray name = QByteArray(glRenderer.data(), static_cast<qsizetype>(glRenderer.size())).toLower();
    for (const char* software : { "llvmpipe", "softpipe", "swrast", "software rasterizer", "swiftshader" }) {
        if (name.contains(software))
            return true;
    }
    return false;
}

void ChooseScreenRendering()
{
    if (UserChoseRendering())
        return;
    QByteArray renderer = OpenGlRenderer();
    if (renderer.isEmpty() || IsSoftwareRenderer(renderer.toStdString()))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace platform::engine::qt
