#include "platform/engine/CefSchemeRegistrar.h"

#include <QCoreApplication>
#include <QWebEngineUrlScheme>

namespace platform::engine {

bool CefSchemeRegistrar::AddCustomScheme(
    const std::string& schemeName, bool isStandard, bool isLocal, bool isDisplayIsolated)
{
    // The engine reads its scheme table when it starts; afterwards a registration is ignored.
    if (QCoreApplication::instance() || schemeName.empty())
        return false;
    const QByteArray name = QByteArray::fromStdString(schemeName);
    if (!QWebEngineUrlScheme::schemeByName(name).name().isEmpty())
        return false;
    QWebEngineUrlScheme scheme(name);
    // Any syntax with a host makes the scheme a standard one (origins, relative links).
    scheme.setSyntax(isStandard ? QWebEngineUrlScheme::Syntax::Host : QWebEngineUrlScheme::Syntax::Path);
    QWebEngineUrlScheme::Flags flags;
    if (isLocal)
        flags |= QWebEngineUrlScheme::LocalScheme;
    if (isDisplayIsolated)
        flags |= QWebEngineUrlScheme::NoAccessAllowed;
    scheme.setFlags(flags);
    QWebEngineUrlScheme::registerScheme(scheme);
    return true;
}

} // namespace platform::engine
