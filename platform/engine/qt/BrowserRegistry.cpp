#include "platform/engine/qt/BrowserRegistry.h"

namespace platform::engine::qt {

BrowserRegistry& BrowserRegistry::Instance()
{
    static BrowserRegistry registry;
    return registry;
}

QtBrowser* BrowserRegistry::Find(int identifier) const
{
    auto it = browsers.find(identifier);
    return it == browsers.end() ? nullptr : it->second;
}

void BrowserRegistry::CloseAll() { }

} // namespace platform::engine::qt
