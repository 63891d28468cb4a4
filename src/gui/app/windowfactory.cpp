#include "gui/app/windowfactory.h"

#include "gui/forms/standform.h"
#include "gui/forms/treeform.h"
#include "gui/pricelist/pricelisteditor.h"
#include "gui/result/resultwindow.h"
#include "gui/treelist/treelistwindow.h"

WorkWindow *makeWindow(WindowHub::Window window, WindowHub &hub, const HomeDirectory &home) {
    switch (window) {
    case WindowHub::Window::StandParameters:
        return new StandForm(hub, home);
    case WindowHub::Window::TreeParameters:
        return new TreeForm(hub, home);
    case WindowHub::Window::PriceList:
        return new PriceListEditor(hub, home);
    case WindowHub::Window::Result:
        return new ResultWindow(hub, home);
    case WindowHub::Window::TreeList:
        return new TreeListWindow(hub, home);
    case WindowHub::Window::MainMenu:
        break;
    }
    return nullptr; // the main menu is never made by the factory: it is the one that asks
}
