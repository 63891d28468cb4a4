#include "workwindow.h"

#include <QCloseEvent>

WorkWindow::WorkWindow(QWidget *parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Kvistel"));
}

void WorkWindow::showWindow() {
    if (!m_loaded) {
        m_loaded = true;
        formLoad();
    }
    show();
    raise();
    activateWindow();
    formActivate();
}

void WorkWindow::closeEvent(QCloseEvent *event) {
    // The window is kept for the rest of the run; closing it means leaving it the usual way.
    event->ignore();
    closeBox();
}
