#include "app/mainmenu.h"

#include "shared/formlayout.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using FormLayout::button;
using FormLayout::label;

MainMenu::MainMenu(HomeDirectory home, WindowFactory factory, QWidget *parent)
    : WorkWindow(parent), m_home(std::move(home)), m_factory(std::move(factory)) {
    setObjectName(QStringLiteral("forKvistel"));

    auto *frame = new QGroupBox(QStringLiteral("Huvudmeny"), this);
    frame->setObjectName(QStringLiteral("frmKvistel"));

    auto *rubrik1 = label(frame, "lblRubrik1", QStringLiteral("RÄNTABILITET HOS TRÄD"));
    QFont bold = rubrik1->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    rubrik1->setFont(bold);
    rubrik1->setAlignment(Qt::AlignCenter);
    auto *rubrik2 =
        label(frame, "lblRubrik2", QStringLiteral("Värdering av enskilda träd i naturkultur"));
    rubrik2->setAlignment(Qt::AlignCenter);

    auto *btnParam1 = button(frame, "btnParam1", QStringLiteral("Välj"));
    auto *btnParam2 = button(frame, "btnParam2", QStringLiteral("Välj"));
    auto *btnPrislista = button(frame, "btnPrislista", QStringLiteral("Välj"));
    auto *btnTradlista = button(frame, "btnTradlista", QStringLiteral("Välj"));
    auto *btnAvsluta = button(frame, "btnAvsluta", QStringLiteral("Avsluta"));
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
    grid->addWidget(rubrik1, 0, 0, 1, 2);
    grid->addWidget(rubrik2, 1, 0, 1, 2);
    grid->setRowMinimumHeight(2, 12);
    grid->addWidget(label(frame, "lblVal1", QStringLiteral("Sätt parametrar före besöket i fält")),
                    3, 0);
    grid->addWidget(btnParam1, 3, 1);
    grid->addWidget(label(frame, "lblVal2", QStringLiteral("Sätt parametrar i fält")), 4, 0);
    grid->addWidget(btnParam2, 4, 1);
    grid->addWidget(label(frame, "lblVal3", QStringLiteral("Ändra i prislista")), 5, 0);
    grid->addWidget(btnPrislista, 5, 1);
    grid->addWidget(label(frame, "lblVal4", QStringLiteral("Värdera en lista av träd")), 6, 0);
    grid->addWidget(btnTradlista, 6, 1);
    grid->setRowMinimumHeight(7, 8);
    grid->addWidget(btnAvsluta, 8, 1);
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
    connect(this, &MainMenu::avsluta, this, [] { QCoreApplication::exit(0); });
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

void MainMenu::formLoad() {
    // The result window is the one the user waits for after "Beräkna": it is made as soon as
    // the menu is on screen and the program idle, so a calculation only values and shows.
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
    emit avsluta();
}

void MainMenu::closeBox() {
    quitProgram();
}
