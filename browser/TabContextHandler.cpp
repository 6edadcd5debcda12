#include "browser/TabContextHandler.h"

#include "browser/NextTabId.h"

TabContextHandler::TabContextHandler()
    : tabId(NextTabId())
{
}
