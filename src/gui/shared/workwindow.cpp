#include "gui/shared/workwindow.h"

#include "gui/shared/fieldtips.h"
#include "gui/shared/helpwindow.h"
#include "gui/shared/keyboardaccess.h"
#include "gui/shared/screenfit.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

WorkWindow::WorkWindow(QWidget *parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Kvistel"));
    // Escape leaves the window as its return button does; a combo box's open list or a message
    // box takes Escape first, being windows of their own.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            [this] { closeBox(); });
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            &WorkWindow::showHelp);
    // The program ends while its windows are shown or hidden, never closed: each remembers where
    // it stands, to open there at the next start.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (isVisible())
            rememberPlacement();
    });
}

void WorkWindow::showWindow() {
    load();
    const bool first = !m_shown;
    m_shown = true;
    placeOnScreen(first);
    show();
    raise();
    activateWindow();
    // Typing starts in the first field; a window without fields offers its default button, or
    // its first button.
    if (QWidget *field = KeyboardAccess::firstField(this))
        field->setFocus(Qt::OtherFocusReason);
    else if (m_defaultButton)
        m_defaultButton->setFocus(Qt::OtherFocusReason);
    else if (QWidget *first = KeyboardAccess::firstControl(this))
        first->setFocus(Qt::OtherFocusReason);
    formActivate();
}

void WorkWindow::setDefaultButton(QPushButton *button) {
    if (m_defaultButton)
        m_defaultButton->setDefault(false);
    m_defaultButton = button;
    if (button)
        button->setDefault(true);
}

QPushButton *WorkWindow::helpButton() {
    auto *button = new QPushButton(QStringLiteral("Hjälp"), this);
    button->setObjectName(QStringLiteral("btnHjalp"));
    button->setMinimumWidth(110);
    button->setToolTip(QStringLiteral("Öppnar hjälpen om det här fönstret (F1)"));
    connect(button, &QPushButton::clicked, this, &WorkWindow::showHelp);
    return button;
}

void WorkWindow::showHelp() {
    HelpWindow::showSection(helpSection());
}

void WorkWindow::prepareOnce() {
    KeyboardAccess::pairLabelsWithFields(this);
    KeyboardAccess::assignMnemonics(this);
    FieldTips::explainFields(this);
    // A button with the focus is pressed by Return, as in any dialog.
    for (QPushButton *b : findChildren<QPushButton *>())
        b->setAutoDefault(true);
}

void WorkWindow::load() {
    if (!m_loaded) {
        m_loaded = true;
        formLoad();
        prepareOnce();
    }
}

void WorkWindow::prepare() {
    load();
    ensurePolished();
    if (QLayout *l = layout())
        l->activate();
    if (m_shown || isVisible())
        return;
    // Shown once where no screen shows it: the native window is made and every control gets
    // its size, so that the first real showing costs no more than any later one.
    placeOnScreen(true);
    setAttribute(Qt::WA_DontShowOnScreen);
    show();
    hide();
    setAttribute(Qt::WA_DontShowOnScreen, false);
    m_sizedAhead = true;
}

void WorkWindow::closeEvent(QCloseEvent *event) {
    // The window is kept for the rest of the run; closing it means leaving it the usual way.
    event->ignore();
    closeBox();
}

void WorkWindow::keyPressEvent(QKeyEvent *event) {
    const bool confirm = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (event == m_ownReturnEvent) {
        m_ownReturnEvent = nullptr;
        return QWidget::keyPressEvent(event);
    }
    if (confirm && plain && m_defaultButton && m_defaultButton->isVisible() &&
        m_defaultButton->isEnabled()) {
        // The field is left as a click on the button leaves it (a decimal comma becomes a
        // point), then the button does its work.
        m_defaultButton->setFocus(Qt::OtherFocusReason);
        m_defaultButton->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void WorkWindow::keepReturnIn(QWidget *control) {
    m_ownReturn.append(control);
    control->installEventFilter(this);
    for (QWidget *inside : control->findChildren<QWidget *>())
        inside->installEventFilter(this);
}

bool WorkWindow::eventFilter(QObject *watched, QEvent *event) {
    // The key travels from the control up to the window; the window then knows it was the
    // control's.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            for (const QPointer<QWidget> &own : std::as_const(m_ownReturn))
                if (own && (own == watched || own->isAncestorOf(qobject_cast<QWidget *>(watched))))
                    m_ownReturnEvent = event;
    }
    return QWidget::eventFilter(watched, event);
}

void WorkWindow::hideEvent(QHideEvent *event) {
    if (!event->spontaneous())
        rememberPlacement();
    QWidget::hideEvent(event);
}

QString WorkWindow::settingsGroup() const {
    return QStringLiteral("fonster/") + objectName();
}

bool WorkWindow::isResizable() const {
    return minimumSize() != maximumSize();
}

void WorkWindow::rememberPlacement() const {
    // Only the program itself remembers; a window made by a test leaves no trace.
    if (!m_shown || QCoreApplication::organizationName().isEmpty())
        return;
    // A place that has not changed is not written again, so that ending the program writes no
    // file it need not.
    QSettings settings;
    const QString key = settingsGroup() + QStringLiteral("/geometri");
    const QByteArray geometry = saveGeometry();
    if (settings.value(key).toByteArray() != geometry)
        settings.setValue(key, geometry);
}

void WorkWindow::placeOnScreen(bool restore) {
    if (restore && !m_sizedAhead) {
        // A window may have stretched a control for a moment to measure itself; the layouts'
        // remembered sizes are dropped, so that what the window needs is what it needs now.
        for (QWidget *child : findChildren<QWidget *>())
            child->updateGeometry();
    }
    m_sizedAhead = false;
    if (QLayout *l = layout())
        l->activate();
    if (!testAttribute(Qt::WA_Resized))
        adjustSize();
    const QMargins frame = ScreenFit::frameMargins(this);
    const QSize natural = size();

    // Placed by the window itself (its inside, never its frame), so that the window manager's
    // frame is added the same way at every showing and the window never creeps.
    bool placed = false;
    if (restore && !QCoreApplication::organizationName().isEmpty()) {
        const QByteArray saved =
            QSettings().value(settingsGroup() + QStringLiteral("/geometri")).toByteArray();
        placed = !saved.isEmpty() && restoreGeometry(saved);
        // A window of fixed size takes the size it needs now, not the one it had then.
        if (placed && !isResizable())
            resize(natural);
    }
    if (restore && !placed) {
        const QScreen *here = QGuiApplication::screenAt(QCursor::pos());
        if (!here)
            here = QGuiApplication::primaryScreen();
        if (here) {
            QRect centred(QPoint(), size());
            centred.moveCenter(here->availableGeometry().center());
            setGeometry(centred);
        }
    }

    QRect wanted = geometry().marginsAdded(frame);
    const QScreen *screen = ScreenFit::screenShowing(wanted);
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QSize room = available.marginsRemoved(frame).size();

    // What the window cannot do without; more than the screen has, and the window scrolls.
    QSize size = this->size();
    const QSize needed = minimumSize().expandedTo(minimumSizeHint());
    if (!m_scrolls && (needed.width() > room.width() || needed.height() > room.height())) {
        scrollContents();
        size = this->size();
    }
    size = size.boundedTo(room);
    // Title bar and all on a screen that is there.
    wanted = ScreenFit::fitIntoArea(QRect(wanted.topLeft(), size.grownBy(frame)), available);
    setGeometry(wanted.marginsRemoved(frame));
}

void WorkWindow::scrollContents() {
    QLayout *l = layout();
    if (!l)
        return;
    const bool fixed = l->sizeConstraint() == QLayout::SetFixedSize;
    const QSize min = minimumSize();
    const QSize max = maximumSize();

    // The window's layout, with every control it places, moves into a scrolled area.
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("innehall"));
    content->setLayout(l);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (!fixed) {
        content->setMinimumSize(min);
        content->setMaximumSize(max);
    }
    auto *area = new QScrollArea(this);
    area->setObjectName(QStringLiteral("rullyta"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(content);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(area);
    m_scrolls = true;

    // As large as the contents with both scroll bars, never larger: the rest is the screen's.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    l->activate();
    QSize whole = content->sizeHint().expandedTo(content->minimumSize());
    whole += QSize(bar, bar);
    if (fixed)
        setMaximumSize(whole);
    resize(whole);
}
