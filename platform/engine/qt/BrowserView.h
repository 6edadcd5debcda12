#pragma once

#include <QWebEngineView>

namespace platform::engine::qt {

class QtBrowser;

// The widget of one browser; tells its browser when it goes away and asks the
// client about drags. GUI thread only.
class BrowserView final : public QWebEngineView {
    Q_OBJECT
public:
    BrowserView(QtBrowser* browser, QWidget* parent);
    ~BrowserView() override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QtBrowser* browser;
};

} // namespace platform::engine::qt
