// The bare engine for comparison: one web view in a window loading the given address.
// Popups open as further windows, so that a page opening windows costs what the engine
// alone makes it cost.
#include <QApplication>
#include <QWebEngineView>

namespace {

class BareView : public QWebEngineView {
protected:
    QWebEngineView* createWindow(QWebEnginePage::WebWindowType) override
    {
        auto* view = new BareView;
        view->setAttribute(Qt::WA_DeleteOnClose);
        view->resize(1000, 700);
        view->show();
        return view;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;
    BareView view;
    view.resize(1000, 700);
    view.load(QUrl(QString::fromLocal8Bit(argv[1])));
    view.show();
    return application.exec();
}
