#include "windowfactory.h"

#include "forparam1.h"
#include "forparam2.h"
#include "forprislista.h"
#include "forresultat.h"
#include "fortradlista.h"

WorkWindow *makeWindow(WindowHub::Window window, WindowHub &hub, const QString &sokvag) {
    switch (window) {
    case WindowHub::Window::StandParameters:
        return new forParam1(hub, sokvag);
    case WindowHub::Window::TreeParameters:
        return new forParam2(hub, sokvag);
    case WindowHub::Window::PriceList:
        return new forPrislista(hub, sokvag);
    case WindowHub::Window::Result:
        return new forResultat(hub, sokvag);
    case WindowHub::Window::TreeList:
        return new forTradlista(hub, sokvag);
    case WindowHub::Window::MainMenu:
        break;
    }
    return nullptr; // the main menu is never made by the factory: it is the one that asks
}
