#include "gui/app/mainmenu.h"

#include "gui/app/startup.h"
#include "gui/shared/formlayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

using FormLayout::button;
using FormLayout::label;
using FormLayout::NamedText;

namespace {

enum MenuText {
    Frame,
    Heading,
    Subheading,
    ChoiceStand,
    ChoiceTree,
    ChoicePrices,
    ChoiceList,
    ChooseStand,
    ChooseTree,
    ChoosePrices,
    ChooseList,
    Quit,
    ChangeHome,
};

// In the order of MenuText.
const NamedText menuTexts[] = {
    {"frmKvistel", u"Huvudmeny"},
    {"lblRubrik1", u"RÄNTABILITET HOS TRÄD"},
    {"lblRubrik2", u"Värdering av enskilda träd i naturkultur"},
    {"lblVal1", u"Sätt parametrar före besöket i fält"},
    {"lblVal2", u"Sätt parametrar i fält"},
    {"lblVal3", u"Ändra i prislista"},
    {"lblVal4", u"Värdera en lista av träd"},
    {"btnParam1", u"Välj"},
    {"btnParam2", u"Välj"},
    {"btnPrislista", u"Välj"},
    {"btnTradlista", u"Välj"},
    {"btnAvsluta", u"Avsluta"},
    {"btnHemkatalog", u"Byt hemkatalog..."},
};

} // namespace

std::span<const NamedText> MainMenu::texts() {
    return menuTexts;
}

MainMenu::MainMenu(HomeDirectory home, WindowFactory factory, QWidget *parent)
    : WorkWindow(parent), m_home(std::move(home)), m_factory(std::move(factory)) {
    setObjectName(QStringLiteral("forKvistel"));

    auto *frame = new QGroupBox(menuTexts[Frame].string(), this);
    frame->setObjectName(QLatin1String(menuTexts[Frame].name));

    auto *heading = label(frame, menuTexts[Heading]);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    heading->setFont(bold);
    heading->setAlignment(Qt::AlignCenter);
    auto *subheading = label(frame, menuTexts[Subheading]);
    subheading->setAlignment(Qt::AlignCenter);

    auto *btnParam1 = button(frame, menuTexts[ChooseStand]);
    auto *btnParam2 = button(frame, menuTexts[ChooseTree]);
    auto *btnPrislista = button(frame, menuTexts[ChoosePrices]);
    auto *btnTradlista = button(frame, menuTexts[ChooseList]);
    auto *btnAvsluta = button(frame, menuTexts[Quit]);
    auto *btnHemkatalog = button(frame, menuTexts[ChangeHome]);
    btnHemkatalog->setToolTip(QStringLiteral("Arbeta i en annan hemkatalog, till exempel en "
                                             "för varje skogsägare; de fem senaste finns i "
                                             "listan"));
    // A screen reader says what each "Välj" opens, not three times "Välj".
    btnParam1->setAccessibleName(QStringLiteral("Välj parametrar före besöket i fält"));
    btnParam2->setAccessibleName(QStringLiteral("Välj parametrar i fält, för trädet"));
    btnPrislista->setAccessibleName(QStringLiteral("Välj prislistan"));
    btnTradlista->setAccessibleName(QStringLiteral("Välj en lista av träd att värdera"));

    // Read only by start-up, as the second place to look for the home directory.
    auto *txtPath = new QLineEdit(defaultHomePath(), frame);
    txtPath->setObjectName(QStringLiteral("txtPath"));
    txtPath->setVisible(false);

    auto *grid = new QGridLayout(frame);
    grid->setContentsMargins(24, 18, 24, 18);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(14);
    grid->addWidget(heading, 0, 0, 1, 2);
    grid->addWidget(subheading, 1, 0, 1, 2);
    grid->setRowMinimumHeight(2, 12);
    grid->addWidget(label(frame, menuTexts[ChoiceStand]), 3, 0);
    grid->addWidget(btnParam1, 3, 1);
    grid->addWidget(label(frame, menuTexts[ChoiceTree]), 4, 0);
    grid->addWidget(btnParam2, 4, 1);
    grid->addWidget(label(frame, menuTexts[ChoicePrices]), 5, 0);
    grid->addWidget(btnPrislista, 5, 1);
    grid->addWidget(label(frame, menuTexts[ChoiceList]), 6, 0);
    grid->addWidget(btnTradlista, 6, 1);
    grid->setRowMinimumHeight(7, 8);
    grid->addWidget(btnAvsluta, 8, 1);
    grid->addWidget(btnHemkatalog, 9, 0, Qt::AlignLeft);
    grid->addWidget(helpButton(), 9, 1);
    grid->addWidget(txtPath, 10, 0, 1, 2);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(frame);
    // A menu has nothing to gain from more room.
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnParam1, &QPushButton::clicked, this, &MainMenu::openStandForm);
    connect(btnParam2, &QPushButton::clicked, this, &MainMenu::openTreeForm);
    connect(btnPrislista, &QPushButton::clicked, this, &MainMenu::openPriceList);
    connect(btnTradlista, &QPushButton::clicked, this, &MainMenu::openTreeList);
    connect(btnAvsluta, &QPushButton::clicked, this, &MainMenu::quitProgram);
    connect(btnHemkatalog, &QPushButton::clicked, this, &MainMenu::changeHome);
    showHomeInTitle();
    connect(this, &MainMenu::quitRequested, this, [] { QCoreApplication::exit(0); });
}

MainMenu::~MainMenu() {
    qDeleteAll(m_windows);
}

WorkWindow *MainMenu::window(Window which) {
    if (which == Window::MainMenu)
        return this;
    WorkWindow *w = m_windows.value(which);
    if (!w) {
        w = m_factory(which, *this, m_home);
        m_windows.insert(which, w);
    }
    return w;
}

void MainMenu::open(Window which) {
    window(which)->showWindow();
}

void MainMenu::calculate() {
    WorkWindow *w = window(Window::Result);
    if (auto *calc = dynamic_cast<CalculationWindow *>(w))
        calc->calculateAndSave();
    else
        w->showWindow();
}

void MainMenu::paintEvent(QPaintEvent *event) {
    WorkWindow::paintEvent(event);
    if (m_painted)
        return;
    m_painted = true;
    emit firstPainted();
    // The result window is the one the user waits for after "Beräkna": it is made as soon as
    // the menu is on screen and the program idle, so a calculation only values and shows.
    // Nothing but the menu is made before the menu is seen.
    QTimer::singleShot(0, this, [this] {
        if (WorkWindow *result = window(Window::Result))
            result->prepare();
    });
}

void MainMenu::openStandForm() {
    hide();
    open(Window::StandParameters);
}

void MainMenu::openTreeForm() {
    hide();
    open(Window::TreeParameters);
}

void MainMenu::openPriceList() {
    hide();
    open(Window::PriceList);
}

void MainMenu::openTreeList() {
    hide();
    open(Window::TreeList);
}

void MainMenu::quitProgram() {
    // Work left unsaved in a hidden window (a tree list) is asked about first.
    for (WorkWindow *w : std::as_const(m_windows))
        if (w && !w->mayClose())
            return;
    emit quitRequested();
}

void MainMenu::showHomeInTitle() {
    QString shown = QDir::toNativeSeparators(QDir::cleanPath(m_home.path()));
    // The user's own folders read as the user writes them: "~/Kvistel".
    const QString own = QDir::toNativeSeparators(QDir::homePath());
    if (shown.startsWith(own + QDir::separator()))
        shown = QStringLiteral("~") + shown.mid(own.size());
    setWindowTitle(QStringLiteral("Kvistel – %1").arg(shown));
}

void MainMenu::changeHome() {
    QSettings settings;
    const std::optional<HomeDirectory> chosen =
        settleHomeDirectory(QStringList{}, recentHomes(settings));
    if (!chosen)
        return;
    // Every window shows the home it was made for: work left unsaved in one is asked about
    // first, then all are made anew, on the new home, when next opened.
    for (WorkWindow *w : std::as_const(m_windows))
        if (w && !w->mayClose())
            return;
    const QHash<Window, WorkWindow *> old = std::exchange(m_windows, {});
    for (WorkWindow *w : old) {
        w->hide();
        w->deleteLater();
    }
    m_home = *chosen;
    rememberHome(settings, m_home);
    settings.sync();
    showHomeInTitle();
    emit homeChanged();
    QTimer::singleShot(0, this, [this] {
        if (WorkWindow *result = window(Window::Result))
            result->prepare();
    });
}

void MainMenu::closeBox() {
    quitProgram();
}
