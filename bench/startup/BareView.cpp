// The bare engine for comparison: one web view in a window loading the given address.
// A popup opens as a further window that loads the address on its own, as the program's
// tabs do, so each has its own renderer; with --opener it is handed to the engine instead,
// which keeps it in its opener's renderer.
#include <QApplication>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineView>

namespace {

bool keepOpener = false;

class BareView : public QWebEngineView {
public:
    BareView()
    {
        resize(1000, 700);
        connect(page(), &QWebEnginePage::newWindowRequested, this, [](QWebEngineNewWindowRequest& request) {
            if (keepOpener)
                return;
            auto* view = new BareView;
            view->setAttribute(Qt::WA_DeleteOnClose);
            view->load(request.requestedUrl());
            view->show();
        });
    }

protected:
    // Reached only when the request above was not taken: the popup joins its opener.
    QWebEngineView* createWindow(QWebEnginePage::WebWindowType) override
    {
        if (!keepOpener)
            return nullptr;
        auto* view = new BareView;
        view->setAttribute(Qt::WA_DeleteOnClose);
        view->show();
        return view;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QString address;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--opener")
            keepOpener = true;
        else
            address = QString::fromLocal8Bit(argv[i]);
    }
    if (address.isEmpty())
        return 2;
    BareView view;
    view.load(QUrl(address));
    view.show();
    return application.exec();
}
