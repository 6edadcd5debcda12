#include "platform/ui/ControlRef.h"

#include "platform/ui/qt/ControlWidget.h"

namespace platform::ui {

ControlRef::ControlRef(CControlUI* control)
    : guard_(control ? std::make_shared<const qt::ControlGuard>(control) : nullptr)
    , control_(control)
{
}

CControlUI* ControlRef::Get() const { return guard_ && guard_->Alive() ? control_ : nullptr; }

} // namespace platform::ui
