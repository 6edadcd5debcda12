#include "platform/engine/qt/DesktopMediaRequests.h"

#include "platform/engine/CefTypes.h"
#include "platform/engine/ScreenCapture.h"
#include "platform/engine/qt/PermissionPrompts.h"

#include <QWebEnginePage>
#include <memory>

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QAbstractListModel>
#include <QPointer>
#include <QWebEngineDesktopMediaRequest>
#endif

namespace platform::engine::qt {

std::vector<DesktopChoice> DesktopChoices(
    const QStringList& screenNames, const QStringList& windowTitles, size_t limit)
{
    std::vector<DesktopChoice> choices;
    for (int row = 0; row < screenNames.size() && choices.size() < limit; ++row) {
        const QString name
            = screenNames.size() == 1 ? QStringLiteral("整个屏幕") : QStringLiteral("屏幕 %1").arg(row + 1);
        choices.push_back({ true, row, name.toStdString() });
    }
    for (int row = 0; row < windowTitles.size() && choices.size() < limit; ++row) {
        const QString title = windowTitles[row].trimmed();
        if (!title.isEmpty())
            choices.push_back({ false, row, title.toStdString() });
    }
    return choices;
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

namespace {
    constexpr size_t kMaxChoices = 10;

    QStringList Names(const QAbstractListModel* model)
    {
        QStringList names;
        for (int row = 0; model && row < model->rowCount(); ++row)
            names.push_back(model->data(model->index(row, 0), Qt::DisplayRole).toString());
        return names;
    }

    // A request the engine hears nothing about shares the first screen when its last copy goes,
    // and reaches into the page's engine side, which may be gone by then: it is always answered
    // while the page is there, and refused when the user did not choose.
    class PendingChoice {
    public:
        PendingChoice(const QWebEngineDesktopMediaRequest& request, QWebEnginePage* page,
            PermissionPrompts& prompts, std::shared_ptr<bool> choosing)
            : request(request)
            , page(page)
            , prompts(prompts)
            , choosing(std::move(choosing))
        {
            *this->choosing = true;
        }
        ~PendingChoice()
        {
            *choosing = false;
            if (!answered && page)
                request.cancel();
        }
        PendingChoice(const PendingChoice&) = delete;
        PendingChoice& operator=(const PendingChoice&) = delete;

        void Select(const DesktopChoice& choice)
        {
            if (!page)
                return;
            answered = true;
            *choosing = false;
            // The engine asks to capture what was chosen at once, for the page's origin.
            prompts.AllowEngineCapture(page->url());
            const QAbstractListModel* model = choice.screen ? request.screensModel() : request.windowsModel();
            const QModelIndex index = model->index(choice.row, 0);
            if (choice.screen)
                request.selectScreen(index);
            else
                request.selectWindow(index);
        }

    private:
        QWebEngineDesktopMediaRequest request;
        QPointer<QWebEnginePage> page;
        PermissionPrompts& prompts;
        std::shared_ptr<bool> choosing;
        bool answered = false;
    };
}

void ConnectDesktopMediaRequests(QWebEnginePage* page, PermissionPrompts& prompts)
{
    auto choosing = std::make_shared<bool>(false);
    QObject::connect(page, &QWebEnginePage::desktopMediaRequested, page,
        [page, &prompts, choosing](const QWebEngineDesktopMediaRequest& request) {
            if (*choosing) {
                request.cancel();
                return;
            }
            auto pending = std::make_shared<PendingChoice>(request, page, prompts, choosing);
            // Where nothing can be captured the tab says why; the request is refused.
            if (!CanCaptureScreen()) {
                prompts.AskFor(page->url(), CEF_PERMISSION_TYPE_DESKTOP_VIDEO_CAPTURE, [pending](bool) {});
                return;
            }
            const std::vector<DesktopChoice> choices
                = DesktopChoices(Names(request.screensModel()), Names(request.windowsModel()), kMaxChoices);
            std::vector<std::string> names;
            for (const DesktopChoice& choice : choices)
                names.push_back(choice.name);
            prompts.AskChoice(page->url(), names, [pending, choices](int index) {
                if (index >= 0 && static_cast<size_t>(index) < choices.size())
                    pending->Select(choices[static_cast<size_t>(index)]);
            });
        });
}

#else

void ConnectDesktopMediaRequests(QWebEnginePage*, PermissionPrompts&) { }

#endif

} // namespace platform::engine::qt
