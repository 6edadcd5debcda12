#include "platform/engine/qt/PermissionKinds.h"

namespace platform::engine::qt {

unsigned PermissionTypes(EnginePermissionKind kind)
{
    for (const PermissionKind& known : kPermissionKinds) {
        if (known.engineKind == kind)
            return known.types;
    }
    return CEF_PERMISSION_TYPE_NONE;
}

} // namespace platform::engine::qt
