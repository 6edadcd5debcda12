#include "platform/ui/DialogBuilder.h"

#include <memory>

#include <QFile>
#include <QXmlStreamReader>

#include "platform/ui/ButtonUI.h"
#include "platform/ui/EditUI.h"
#include "platform/ui/HorizontalLayoutUI.h"
#include "platform/ui/LabelUI.h"
#include "platform/ui/ListContainerElementUI.h"
#include "platform/ui/ListUI.h"
#include "platform/ui/OptionUI.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/ProgressUI.h"
#include "platform/ui/ScrollStripUI.h"
#include "platform/ui/TabLayoutUI.h"
#include "platform/ui/VerticalLayoutUI.h"
#include "platform/ui/WindowContainerUI.h"
#include "platform/ui/qt/Attributes.h"
#include "platform/ui/qt/LayoutDiagnostics.h"

namespace platform::ui {

namespace {
    class LayoutReader {
    public:
        LayoutReader(const CDuiString& name, IDialogBuilderCallback* callback, CPaintManagerUI* manager)
            : name_(name)
            , callback_(callback)
            , manager_(manager)
        {
        }

        CControlUI* Read(const QByteArray& xml)
        {
            reader_.addData(xml);
            std::unique_ptr<CControlUI> root;
            while (!reader_.atEnd()) {
                if (reader_.readNext() != QXmlStreamReader::StartElement)
                    continue;
                if (reader_.name() == QLatin1String("Window"))
                    root.reset(ReadWindow());
                else
                    root.reset(ReadControl(nullptr));
                break;
            }
            if (reader_.hasError()) {
                qt::SetLayoutLocation(name_, reader_.lineNumber());
                qt::ReportLayoutProblem(u"malformed layout", reader_.errorString().toStdU16String());
                root.reset();
            }
            qt::ClearLayoutLocation();
            return root.release();
        }

    private:
        void Locate() { qt::SetLayoutLocation(name_, reader_.lineNumber()); }

        CControlUI* ReadWindow()
        {
            Locate();
            for (const QXmlStreamAttribute& attribute : reader_.attributes())
                ApplyWindowAttribute(attribute.name().toString(), attribute.value().toString());
            std::unique_ptr<CControlUI> root;
            while (reader_.readNextStartElement()) {
                QStringView element = reader_.name();
                if (element == QLatin1String("Font"))
                    ReadFont();
                else if (element == QLatin1String("Style"))
                    ReadStyle();
                else if (!root)
                    root.reset(ReadControl(nullptr));
                else {
                    Locate();
                    qt::ReportLayoutProblem(u"second root control", element.toString().toStdU16String());
                    reader_.skipCurrentElement();
                }
            }
            return root.release();
        }

        void ApplyWindowAttribute(const QString& name, const QString& value)
        {
            CDuiString text = value.toStdU16String();
            if (!manager_)
                return;
            if (name == "size") {
                SIZE size = qt::ParseSize(text);
                manager_->SetInitSize(size.cx, size.cy);
            } else if (name == "mininfo") {
                SIZE size = qt::ParseSize(text);
                manager_->SetMinInfo(size.cx, size.cy);
            } else if (name == "maxinfo") {
                SIZE size = qt::ParseSize(text);
                manager_->SetMaxInfo(size.cx, size.cy);
            } else if (name == "caption") {
                manager_->SetCaptionRect(qt::ParseRect(text));
            } else if (name == "sizebox") {
                manager_->SetSizeBox(qt::ParseRect(text));
            } else if (name == "textcolor") {
                manager_->SetDefaultFontColor(ParseColor(text));
            } else if (name == "bkcolor") {
                manager_->SetWindowBkColor(ParseColor(text));
            } else if (name == "disabledtextcolor") {
                manager_->SetDefaultDisabledColor(ParseColor(text));
            } else {
                qt::ReportLayoutProblem(u"unknown attribute of Window", name.toStdU16String());
            }
        }

        void ReadFont()
        {
            Locate();
            QXmlStreamAttributes attributes = reader_.attributes();
            TFontInfo font;
            font.family = attributes.value("name").toString().toStdU16String();
            font.size = attributes.value("size").toInt();
            font.bold = qt::ParseBool(attributes.value("bold").toString().toStdU16String());
            font.underline = qt::ParseBool(attributes.value("underline").toString().toStdU16String());
            font.italic = qt::ParseBool(attributes.value("italic").toString().toStdU16String());
            bool hasId = attributes.hasAttribute("id");
            int id = attributes.value("id").toInt();
            if (manager_) {
                if (hasId)
                    manager_->AddFont(id, font);
                if (qt::ParseBool(attributes.value("default").toString().toStdU16String()))
                    manager_->SetDefaultFont(font);
            }
            reader_.skipCurrentElement();
        }

        void ReadStyle()
        {
            Locate();
            CPaintManagerUI::AttributeList attributes;
            CDuiString name;
            for (const QXmlStreamAttribute& attribute : reader_.attributes()) {
                if (attribute.name() == QLatin1String("name"))
                    name = attribute.value().toString().toStdU16String();
                else
                    attributes.emplace_back(attribute.name().toString().toStdU16String(),
                        attribute.value().toString().toStdU16String());
            }
            if (name.empty())
                qt::ReportLayoutProblem(u"style without name", u"Style");
            else if (manager_)
                manager_->AddStyle(name, attributes);
            else {
                CPaintManagerUI scratch;
                scratch.AddStyle(name, attributes);
            }
            reader_.skipCurrentElement();
        }

        CControlUI* ReadControl(CContainerUI* parent)
        {
            Locate();
            CDuiString className = reader_.name().toString().toStdU16String();
            CControlUI* made = CreateBuiltinControl(className);
            if (!made && callback_)
                made = callback_->CreateControl(className);
            if (!made) {
                qt::ReportLayoutProblem(u"unknown element", className);
                reader_.skipCurrentElement();
                return nullptr;
            }
            std::unique_ptr<CControlUI> control(made);
            control->SetManager(manager_, parent);
            for (const QXmlStreamAttribute& attribute : reader_.attributes()) {
                Locate();
                control->SetAttribute(attribute.name().toString().toStdU16String(),
                    attribute.value().toString().toStdU16String());
            }
            auto* container = static_cast<CContainerUI*>(control->GetInterface(u"Container"));
            while (reader_.readNextStartElement()) {
                if (!container) {
                    Locate();
                    qt::ReportLayoutProblem(
                        u"child of a control that holds none", reader_.name().toString().toStdU16String());
                    reader_.skipCurrentElement();
                    continue;
                }
                if (CControlUI* child = ReadControl(container))
                    container->Add(child);
            }
            return control.release();
        }

        CDuiString name_;
        IDialogBuilderCallback* callback_;
        CPaintManagerUI* manager_;
        QXmlStreamReader reader_;
    };
}

CControlUI* CreateBuiltinControl(const CDuiString& className)
{
    if (className == u"Control")
        return new CControlUI;
    if (className == u"Container")
        return new CContainerUI;
    if (className == u"HorizontalLayout")
        return new CHorizontalLayoutUI;
    if (className == u"ScrollStrip")
        return new CScrollStripUI;
    if (className == u"VerticalLayout")
        return new CVerticalLayoutUI;
    if (className == u"TabLayout")
        return new CTabLayoutUI;
    if (className == u"Label")
        return new CLabelUI;
    if (className == u"Edit")
        return new CEditUI;
    if (className == u"Text")
        return new CTextUI;
    if (className == u"Button")
        return new CButtonUI;
    if (className == u"Option" || className == u"CheckBox")
        return new COptionUI;
    if (className == u"Progress")
        return new CProgressUI;
    if (className == u"WindowContainer")
        return new CWindowContainerUI;
    if (className == u"List")
        return new CListUI;
    if (className == u"ListContainerElement")
        return new CListContainerElementUI;
    return nullptr;
}

CControlUI* CDialogBuilder::Create(const CDuiString& file, const CDuiString&,
    IDialogBuilderCallback* callback, CPaintManagerUI* manager, CControlUI* parent)
{
    QString path = QString::fromStdU16String(file).replace('\\', '/');
    if (!path.startsWith('/'))
        path = QString::fromStdU16String(CPaintManagerUI::GetResourcePath()) + path;
    lastFile_ = path.toStdU16String();
    QFile input(path);
    if (!input.open(QIODevice::ReadOnly)) {
        qt::SetLayoutLocation(lastFile_, 0);
        qt::ReportLayoutProblem(u"cannot open layout", lastFile_);
        qt::ClearLayoutLocation();
        return nullptr;
    }
    return CreateFromText(input.readAll().toStdString(), lastFile_, callback, manager, parent);
}

CControlUI* CDialogBuilder::CreateFromText(const std::string& xml, const CDuiString& name,
    IDialogBuilderCallback* callback, CPaintManagerUI* manager, CControlUI* parent)
{
    LayoutReader reader(name, callback, manager);
    CControlUI* root = reader.Read(QByteArray::fromStdString(xml));
    if (root && parent) {
        if (auto* container = static_cast<CContainerUI*>(parent->GetInterface(u"Container")))
            container->Add(root);
    }
    return root;
}

} // namespace platform::ui
