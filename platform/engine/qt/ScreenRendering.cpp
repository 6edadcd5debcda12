#include "platform/engine/qt/ScreenRendering.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <filesystem>

namespace platform::engine::qt {

namespace {
    constexpr char kXcbGlIntegration[] = "QT_XCB_GL_INTEGRATION";
    bool glIntegrationSuppressed = false;

    bool Decided()
    {
        return qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QSG_RHI_BACKEND")
            || QQuickWindow::graphicsApi() == QSGRendererInterface::Software;
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

bool HasGpuDevice(const std::string& deviceFolder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    // Mesa's drivers open DRM nodes; NVIDIA's own driver its control device.
    for (fs::directory_iterator it(fs::path(deviceFolder) / "dri", error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("renderD", 0) == 0 || name.rfind("card", 0) == 0)
            return true;
    }
    return fs::exists(fs::path(deviceFolder) / "nvidiactl", error);
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

void ChooseScreenRenderingBeforeApplication()
{
    if (Decided() || HasGpuDevice("/dev"))
        return;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    // The engine's widgets ask for a shared OpenGL context, and the X11 platform would set up
    // GLX: both load OpenGL for nothing. The variable only speaks to the application object
    // being made; programs started later must not inherit it.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, false);
    if (!qEnvironmentVariableIsSet(kXcbGlIntegration)) {
        qputenv(kXcbGlIntegration, "none");
        glIntegrationSuppressed = true;
    }
}

void ChooseScreenRendering()
{
    if (glIntegrationSuppressed) {
        qunsetenv(kXcbGlIntegration);
        glIntegrationSuppressed = false;
    }
    if (Decided())
        return;
    QByteArray renderer = OpenGlRenderer();
    if (renderer.isEmpty() || IsSoftwareRenderer(renderer.toStdString()))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace platform::engine::qt
