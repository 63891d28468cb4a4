#include "windowfactory.h"

#include "forprislista.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Stands in for a window that this build does not have yet, so that the menu can be left and
// found again.
class PlaceholderWindow : public WorkWindow {
public:
    explicit PlaceholderWindow(WindowHub &hub) : m_hub(hub) {
        setObjectName(QStringLiteral("forPlaceholder"));
        auto *back = new QPushButton(QStringLiteral("Avsluta"), this);
        back->setObjectName(QStringLiteral("btnAvsluta"));
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(back);
        connect(back, &QPushButton::clicked, this, [this] { closeBox(); });
        resize(300, 120);
    }

protected:
    void closeBox() override {
        hide();
        m_hub.open(WindowHub::Window::MainMenu);
    }

private:
    WindowHub &m_hub;
};

} // namespace

WorkWindow *makeWindow(WindowHub::Window window, WindowHub &hub, const QString &sokvag) {
    switch (window) {
    case WindowHub::Window::PriceList:
        return new forPrislista(hub, sokvag);
    case WindowHub::Window::StandParameters:
    case WindowHub::Window::TreeParameters:
    case WindowHub::Window::Result:
    case WindowHub::Window::MainMenu:
        break;
    }
    return new PlaceholderWindow(hub);
}
