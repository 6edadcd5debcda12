#include "platform/ui/EditUI.h"

#include "platform/ui/qt/ControlWidget.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

namespace platform::ui {

namespace qt {
    // The field inside the control's widget, and what turns its keys into notifications.
    struct EditParts : QObject {
        explicit EditParts(CEditUI* control)
            : control(control)
        {
        }
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() != QEvent::KeyPress)
                return QObject::eventFilter(watched, event);
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
                return false;
            control->SendNotify(u"return", (key->modifiers() & Qt::ShiftModifier) ? 1 : 0);
            return true;
        }
        CEditUI* control;
        QPointer<QLineEdit> field;
    };
}

CEditUI::CEditUI()
    : parts_(std::make_unique<qt::EditParts>(this))
{
    auto* layout = new QHBoxLayout(widget_);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* field = new QLineEdit(widget_);
    layout->addWidget(field);
    // The control's widget stands for the field in focus questions.
    widget_->setFocusProxy(field);
    field->installEventFilter(parts_.get());
    QObject::connect(field, &QLineEdit::textEdited, parts_.get(), [this](const QString& text) {
        text_ = text.toStdU16String();
        SendNotify(u"textchanged");
    });
    parts_->field = field;
}

CEditUI::~CEditUI() = default;

void* CEditUI::GetInterface(const CDuiString& name)
{
    return name == u"Edit" ? this : CControlUI::GetInterface(name);
}

void CEditUI::SetAttribute(const CDuiString& name, const CDuiString& value)
{
    if (name == u"tiptext")
        SetTipText(value);
    else
        CControlUI::SetAttribute(name, value);
}

CDuiString CEditUI::GetText() const { return text_; }

void CEditUI::SetText(const CDuiString& text)
{
    text_ = text;
    if (parts_->field)
        parts_->field->setText(QString::fromStdU16String(text));
}

void CEditUI::SetTipText(const CDuiString& text)
{
    if (parts_->field)
        parts_->field->setPlaceholderText(QString::fromStdU16String(text));
}

void CEditUI::FocusAndSelectAll()
{
    if (!parts_->field)
        return;
    parts_->field->setFocus(Qt::ShortcutFocusReason);
    parts_->field->selectAll();
}

} // namespace platform::ui
