#pragma once

#include <memory>

namespace platform::ui {

namespace qt {
    class ControlGuard;
}

class CControlUI;

/// A weak reference to one control: it tells whether that very control still exists,
/// even once another control has taken its memory. Made and read on the GUI thread;
/// copies may be handed to other threads to carry back.
class ControlRef {
public:
    ControlRef() = default;
    /// Refers to control (nothing when control is nullptr).
    ControlRef(CControlUI* control);

    /// The control while it exists, nullptr once it is gone.
    CControlUI* Get() const;
    bool Alive() const { return Get() != nullptr; }
    /// Whether it was given a control at all, alive or not; any thread.
    explicit operator bool() const { return control_ != nullptr; }

private:
    // Shared so that copies stay cheap and can cross threads; never changed after it is made.
    std::shared_ptr<const qt::ControlGuard> guard_;
    CControlUI* control_ = nullptr;
};

} // namespace platform::ui
