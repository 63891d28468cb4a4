#include "gui/shared/helpwindow.h"

#include "gui/shared/screenfit.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {
QPointer<HelpWindow> theHelpWindow;
}

QUrl HelpWindow::guide() {
    return QUrl(QStringLiteral("qrc:/kvistel/hjalp.html"));
}

HelpWindow::HelpWindow() : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("hjalpfonster"));
    setWindowTitle(QStringLiteral("Kvistel – hjälp"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtHjalp"));
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);
    m_browser->setSource(guide());
    m_browser->setAccessibleName(QStringLiteral("Hjälptext"));

    auto *close = new QPushButton(QStringLiteral("&Stäng"), this);
    close->setObjectName(QStringLiteral("btnStang"));
    close->setAutoDefault(true);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addLayout(row);

    // A readable column of text beside the work window, inside the screen whatever its size.
    QSize size(640, 620);
    if (const QScreen *s = screen()) {
        const QRect area = s->availableGeometry().marginsRemoved(ScreenFit::frameMargins(this));
        size = size.boundedTo(area.size());
        setGeometry(ScreenFit::fitIntoArea(QRect(area.topLeft(), size), area));
    }
    resize(size);
    // The program ends through its main menu; the guide must not outlive it.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &QObject::deleteLater);
}

HelpWindow *HelpWindow::instance() {
    return theHelpWindow;
}

HelpWindow *HelpWindow::showSection(const QString &section) {
    if (!theHelpWindow)
        theHelpWindow = new HelpWindow;
    HelpWindow *w = theHelpWindow;
    w->show();
    w->raise();
    w->activateWindow();
    // Scrolled once the window is laid out, so that the section's heading ends up at the top.
    QUrl url = guide();
    url.setFragment(section);
    w->m_browser->setSource(url);
    if (!section.isEmpty())
        w->m_browser->scrollToAnchor(section);
    return w;
}

void HelpWindow::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
