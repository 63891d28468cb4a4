#include "app/windowfactory.h"

#include "params/standform.h"
#include "params/treeform.h"
#include "pricelist/pricelisteditor.h"
#include "result/resultwindow.h"
#include "treelist/treelistwindow.h"

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
