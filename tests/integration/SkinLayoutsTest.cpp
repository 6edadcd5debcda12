#include "dialogs/MessageBoxDialog.h"
#include "platform/ui/ButtonUI.h"
#include "platform/ui/DialogBuilder.h"
#include "platform/ui/HorizontalLayoutUI.h"
#include "platform/ui/ListUI.h"
#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/OptionUI.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/ProgressUI.h"
#include "platform/ui/TabLayoutUI.h"
#include "platform/ui/WindowContainerUI.h"
#include "platform/ui/WindowImplBase.h"
#include "platform/ui/WindowOps.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "platform/ui/qt/WindowWidget.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>

using namespace platform::ui;

namespace {

const char16_t* kSkin = ZANDREL_SOURCE_DIR u"/skin/Zandrel/";

// Stand-ins for the controls that window code makes through its factory.
class MenuButtonStandIn : public CButtonUI {
public:
    void SetAttribute(const CDuiString& name, const CDuiString& value) override
    {
        if (name != u"menu_id")
            CButtonUI::SetAttribute(name, value);
    }
};

class Factory : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(const CDuiString& className) override
    {
        if (className == u"MenuButton")
            return new MenuButtonStandIn;
        if (className == u"Menu")
            return new CListUI;
        return nullptr;
    }
};

std::string Utf8(const CDuiString& text) { return QString::fromStdU16String(text).toStdString(); }

const QString kSource = QStringLiteral(ZANDREL_SOURCE_DIR);

QString ReadText(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

QStringList Captures(const QString& text, const QRegularExpression& pattern)
{
    QStringList found;
    for (QRegularExpressionMatchIterator it = pattern.globalMatch(text); it.hasNext();)
        found << it.next().captured(1);
    return found;
}

// A row of the skin README's table: a layout file and the names the code looks up in it.
struct NamesRow {
    QString file;
    QStringList controls;
    QStringList styles;
};

std::vector<NamesRow> ReadmeRows()
{
    const QRegularExpression quoted("`([^`]+)`");
    std::vector<NamesRow> rows;
    bool inTable = false;
    for (const QString& line : ReadText(kSource + "/skin/README.md").split('\n')) {
        if (line.startsWith("| file | window | controls looked up | styles looked up |")) {
            inTable = true;
            continue;
        }
        if (!inTable)
            continue;
        if (!line.startsWith('|'))
            break;
        const QStringList cells = line.split('|'); // empty, file, window, controls, styles, empty
        if (cells.size() == 6 && !cells[1].contains("---"))
            rows.push_back({ Captures(cells[1], quoted).value(0), Captures(cells[3], quoted),
                Captures(cells[4], quoted) });
    }
    return rows;
}

// Names in the layouts as a set, and the layout files by their path below the skin folder.
struct LayoutNames {
    std::set<QString> controls;
    std::set<QString> styles;
    std::set<QString> files;
};

LayoutNames ReadLayoutNames()
{
    const QRegularExpression named(R"re(<(\w+)\b[^>]*?\sname="([^"]+)")re");
    const QDir skin(QString::fromStdU16String(kSkin));
    LayoutNames names;
    for (QDirIterator it(skin.path(), { "*.xml" }, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        names.files.insert(skin.relativeFilePath(path));
        for (QRegularExpressionMatchIterator match = named.globalMatch(ReadText(path)); match.hasNext();) {
            const QRegularExpressionMatch element = match.next();
            if (element.captured(1) == "Style")
                names.styles.insert(element.captured(2));
            else if (element.captured(1) != "Font")
                names.controls.insert(element.captured(2));
        }
    }
    return names;
}

// The program's own sources, without the tests and build folders.
QStringList ProgramSources()
{
    QStringList sources;
    const QDir root(kSource);
    for (const QString& folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (folder == "tests" || folder.startsWith("build"))
            continue;
        for (QDirIterator it(
                 root.filePath(folder), { "*.cpp", "*.h" }, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();)
            sources << it.next();
    }
    return sources;
}

// Every control and style name the code looks up, with the first source that does.
struct CodeLookups {
    std::map<QString, QString> controls;
    std::map<QString, QString> styles;
};

CodeLookups ReadCodeLookups()
{
    // The first name literal of a lookup call (FindControl, FindSubControl, a FindOption helper) or
    // of a sender check, and a control's name compared outright.
    const QRegularExpression lookup(
        R"re((?:\bFind\w*(?:Control|Option)|\bSenderIs)\((?:[^()"]|"[^"]*")*?u"([^"]+)")re");
    const QRegularExpression compared(R"re(GetName\(\)\s*[!=]=\s*u"([^"]+)")re");
    const QRegularExpression madeInCode(R"re(SetName\(u"([^"]+)"\))re");
    const QRegularExpression styleCall(R"re(SetStyleName\(([^;]*)\))re");
    const QRegularExpression literal(R"re(u"([^"]+)")re");
    CodeLookups lookups;
    std::set<QString> made;
    for (const QString& path : ProgramSources()) {
        const QString text = ReadText(path);
        const QString source = QDir(kSource).relativeFilePath(path);
        for (const QString& name : Captures(text, lookup) + Captures(text, compared))
            lookups.controls.emplace(name, source);
        for (const QString& call : Captures(text, styleCall))
            for (const QString& name : Captures(call, literal))
                lookups.styles.emplace(name, source);
        for (const QString& name : Captures(text, madeInCode))
            made.insert(name);
    }
    for (const QString& name : made)
        lookups.controls.erase(name);
    return lookups;
}

TEST(SkinLayouts, EveryLayoutBuildsCleanlyWithEveryControlAndStyleTheReadmeNamesForIt)
{
    CPaintManagerUI::SetResourcePath(kSkin);
    Factory factory;
    const std::vector<NamesRow> rows = ReadmeRows();
    std::set<QString> described;
    for (const NamesRow& row : rows) {
        SCOPED_TRACE(row.file.toStdString());
        described.insert(row.file);
        CPaintManagerUI manager;
        CDialogBuilder builder;
        testing::internal::CaptureStderr();
        std::unique_ptr<CControlUI> root(builder.Create(row.file.toStdU16String(), {}, &factory, &manager));
        std::string problems = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(root);
        EXPECT_EQ(problems, "");
        for (const QString& name : row.controls)
            EXPECT_NE(root->FindControl(name.toStdU16String()), nullptr) << name.toStdString();
        for (const QString& style : row.styles)
            EXPECT_NE(manager.GetStyle(style.toStdU16String()), nullptr) << style.toStdString();
    }
    for (const QString& file : ReadLayoutNames().files)
        EXPECT_TRUE(described.count(file)) << file.toStdString() << " has no row in the skin README";
}

TEST(SkinNames, EveryNameTheCodeLooksUpIsInALayoutAndInTheReadme)
{
    const CodeLookups lookups = ReadCodeLookups();
    const LayoutNames layouts = ReadLayoutNames();
    std::set<QString> readmeControls, readmeStyles;
    for (const NamesRow& row : ReadmeRows()) {
        readmeControls.insert(row.controls.begin(), row.controls.end());
        readmeStyles.insert(row.styles.begin(), row.styles.end());
    }
    // A pattern that stopped matching would pass everything.
    ASSERT_GT(lookups.controls.size(), 40u);
    ASSERT_GT(lookups.styles.size(), 3u);
    for (const auto& [name, source] : lookups.controls) {
        EXPECT_TRUE(layouts.controls.count(name))
            << name.toStdString() << ", looked up in " << source.toStdString() << ", is in no layout";
        EXPECT_TRUE(readmeControls.count(name)) << name.toStdString() << ", looked up in "
                                                << source.toStdString() << ", is not in the skin README";
    }
    for (const auto& [name, source] : lookups.styles) {
        EXPECT_TRUE(layouts.styles.count(name))
            << "style " << name.toStdString() << ", set in " << source.toStdString() << ", is in no layout";
        EXPECT_TRUE(readmeStyles.count(name)) << "style " << name.toStdString() << ", set in "
                                              << source.toStdString() << ", is not in the skin README";
    }
}

// The dialect as the builder and the controls read it: element names, the window's and fonts'
// attributes, and what each control's SetAttribute takes.
TEST(SkinNames, EveryElementAndAttributeTheBuilderReadsIsDocumented)
{
    const QString readme = ReadText(kSource + "/skin/README.md");
    const QString layer = kSource + "/platform/ui/qt/";
    const QString builder = ReadText(layer + "DialogBuilder.cpp");
    QStringList words = Captures(builder, QRegularExpression(R"re(className == u"(\w+)")re"))
        + Captures(builder, QRegularExpression(R"re(\bname == "(\w+)")re"))
        + Captures(builder, QRegularExpression(R"re(attributes\.value\("(\w+)"\))re"));
    const QRegularExpression body(
        R"re(::SetAttribute\(const CDuiString& name, const CDuiString& value\)\s*\{(.*?)\n\})re",
        QRegularExpression::DotMatchesEverythingOption);
    for (const QString& file : QDir(layer).entryList({ "*.cpp" }, QDir::Files))
        for (const QString& attributes : Captures(ReadText(layer + file), body))
            words += Captures(attributes, QRegularExpression(R"re(\bname == u"(\w+)")re"));
    ASSERT_GT(words.size(), 80);
    for (const QString& word : words)
        EXPECT_TRUE(readme.contains('`' + word + '`')) << word.toStdString() << " is not in the skin README";
}

TEST(SkinLayouts, ControlsHaveTheKindsTheWindowsCastThemTo)
{
    CPaintManagerUI::SetResourcePath(kSkin);
    Factory factory;
    struct Kind {
        const char16_t* file;
        const char16_t* name;
        const char16_t* interfaceName;
    } kinds[] = {
        { u"main.xml", u"tab_main", u"TabLayout" },
        { u"main.xml", u"tab_button_container", u"Container" },
        { u"main.xml", u"btn_backward", u"Button" },
        { u"messagebox_dialog.xml", u"TextLayout", u"Container" },
        { u"setting/setting.xml", u"ispowerbootcheck", u"Option" },
        { u"setting/setting.xml", u"min", u"Option" },
        { u"setting/setting.xml", u"exit", u"Option" },
        { u"update_dialog.xml", u"progress_status", u"Progress" },
        { u"update_dialog.xml", u"lbl_update_tip", u"Label" },
        { u"menu/menu.xml", u"menu", u"List" },
        { u"findbar.xml", u"find_text", u"Edit" },
    };
    for (const Kind& kind : kinds) {
        CPaintManagerUI manager;
        CDialogBuilder builder;
        std::unique_ptr<CControlUI> root(builder.Create(kind.file, {}, &factory, &manager));
        ASSERT_TRUE(root) << Utf8(kind.file);
        CControlUI* control = root->FindControl(kind.name);
        ASSERT_TRUE(control) << Utf8(kind.name);
        EXPECT_NE(control->GetInterface(kind.interfaceName), nullptr) << Utf8(kind.name);
    }
}

// The main window's skeleton with two tabs, laid out as the frame builds them.
class MainSkeleton : public WindowImplBase {
public:
    CDuiString GetSkinFolder() override { return u"skin\\Zandrel\\"; }
    CDuiString GetSkinFile() override { return u"main.xml"; }
    CDuiString GetWindowClassName() const override { return u"Main_Class"; }
    CControlUI* CreateControl(const CDuiString& className) override
    {
        return factory.CreateControl(className);
    }

    void AddTab(const CDuiString& title, bool closable)
    {
        auto* row = new CHorizontalLayoutUI;
        row->SetMaxWidth(174);
        row->SetMaxHeight(30);
        auto* button = new COptionUI;
        button->SetName(u"tab_button");
        button->SetStyleName(u"tab_win_button_bk_style");
        button->SetText(title);
        button->SetToolTip(title);
        button->SetFixedWidth(174);
        button->SetFixedHeight(30);
        auto* close = new CButtonUI;
        close->SetName(u"close_tab_btn");
        close->SetStyleName(u"tab_win_button_style");
        close->SetFixedWidth(12);
        close->SetFixedHeight(12);
        close->SetVisible(closable);
        row->Add(button);
        row->Add(close);
        static_cast<CContainerUI*>(FindControl(u"tab_button_container")->GetInterface(u"Container"))
            ->Add(row);
        button->SetGroup(u"group_tab_button");
        button->Selected(true);
    }

    Factory factory;
};

QString ScreenshotFolder()
{
    QString folder = QStringLiteral(ZANDREL_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    return folder;
}

TEST(SkinScreenshots, MainWindowSkeletonAndMessageBox)
{
    CPaintManagerUI::SetResourcePath(kSkin);
    MainSkeleton frame;
    ASSERT_TRUE(frame.Create(nullptr, u"Tessik微端", UI_WNDSTYLE_FRAME | WS_THICKFRAME | WS_MAXIMIZEBOX, 0));
    frame.AddTab(u"加载中...", false);
    frame.AddTab(u"直播间 - 今晚八点的精彩节目", true);
    frame.CenterWindow();
    frame.ShowWindow();
    QApplication::processEvents();
    QImage shot = frame.Widget()->grab().toImage();
    EXPECT_EQ(shot.width(), 1200);
    EXPECT_TRUE(shot.save(ScreenshotFolder() + "/main_window.png"));

    bool saved = false;
    SetModalAnswerer([&](const ModalInfo&) -> std::optional<int> {
        QTimer::singleShot(0, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->objectName() != "MessageBoxDialog_Class" || !widget->isVisible())
                    continue;
                saved = widget->grab().save(ScreenshotFolder() + "/message_box.png");
                SimulateClick(WindowFromHandle(qt::HandleFromWidget(widget))->FindControl(u"okbtn"));
            }
        });
        return std::nullopt;
    });
    EXPECT_EQ(MessageBoxDialog::Confirm(frame.GetHWND(), u"提示", u"你确定要关闭Tessik微端吗", true), 1);
    SetModalAnswerer(nullptr);
    EXPECT_TRUE(saved);
    DestroyWindow(frame.GetHWND());
}

} // namespace
