#include "platform/engine/qt/ScreenRendering.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <cstdio>
#include <filesystem>

namespace platform::engine::qt {

namespace {
    constexpr char kXcbGlIntegration[] = "QT_XCB_GL_INTEGRATION";
    bool decidedBeforeApplication = false;
    bool glIntegrationSuppressed = false;
    QtMessageHandler nextMessageHandler = nullptr;

    bool UserChose()
    {
        return qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QSG_RHI_BACKEND");
    }

    // With OpenGL kept out, the X11 platform and the engine still try it once each and
    // say so; those notices are expected then and would only alarm whoever reads the output.
    void DropMissingOpenGlNotices(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type == QtWarningMsg
            && (message.startsWith(QLatin1String("QXcbIntegration: Cannot create platform OpenGL context"))
                || message.trimmed() == QLatin1String("No suitable graphics backend found")))
            return;
        if (nextMessageHandler)
            nextMessageHandler(type, context, message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
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
    if (UserChose() || HasGpuDevice("/dev"))
        return;
    decidedBeforeApplication = true;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    // The engine's widgets ask for a shared OpenGL context, and the X11 platform would set up
    // GLX: both load OpenGL for nothing. The variable only speaks to the application object
    // being made; programs started later must not inherit it.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, false);
    if (!qEnvironmentVariableIsSet(kXcbGlIntegration)) {
        qputenv(kXcbGlIntegration, "none");
        glIntegrationSuppressed = true;
    }
    nextMessageHandler = qInstallMessageHandler(DropMissingOpenGlNotices);
}

void ChooseScreenRendering()
{
    if (glIntegrationSuppressed) {
        qunsetenv(kXcbGlIntegration);
        glIntegrationSuppressed = false;
    }
    if (decidedBeforeApplication || UserChose())
        return;
    QByteArray renderer = OpenGlRenderer();
    if (renderer.isEmpty() || IsSoftwareRenderer(renderer.toStdString()))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace platform::engine::qt
