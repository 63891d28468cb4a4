// Qt alone: the main menu's window as a plain Qt program would make it, with the same frame,
// captions, buttons (mnemonics included), fonts and margins, centred on the screen and ended
// right after its first paint. The start-up benchmark runs it beside kvistel to show what Qt
// itself costs.
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// Ends the program as the window is first painted: the painting still finishes, then the event
// loop stops.
class EndAfterPaint : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            QCoreApplication::exit(0);
        return QObject::eventFilter(watched, event);
    }
};

QLabel *label(QWidget *parent, const QString &text) {
    auto *l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QPushButton *button(QWidget *parent, const QString &text) {
    auto *b = new QPushButton(text, parent);
    b->setMinimumWidth(110);
    b->setAutoDefault(true);
    return b;
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Kvistel"));

    auto *frame = new QGroupBox(QStringLiteral("Huvudmeny"), &window);
    auto *heading = label(frame, QStringLiteral("RÄNTABILITET HOS TRÄD"));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    heading->setFont(bold);
    heading->setAlignment(Qt::AlignCenter);
    auto *subheading = label(frame, QStringLiteral("Värdering av enskilda träd i naturkultur"));
    subheading->setAlignment(Qt::AlignCenter);
    auto *first = button(frame, QStringLiteral("&Välj"));
    auto *hidden = new QLineEdit(QStringLiteral("n:\\arb/cprog/kvistel/swe"), frame);
    hidden->setVisible(false);

    auto *grid = new QGridLayout(frame);
    grid->setContentsMargins(24, 18, 24, 18);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(14);
    grid->addWidget(heading, 0, 0, 1, 2);
    grid->addWidget(subheading, 1, 0, 1, 2);
    grid->setRowMinimumHeight(2, 12);
    grid->addWidget(label(frame, QStringLiteral("Sätt parametrar före besöket i fält")), 3, 0);
    grid->addWidget(first, 3, 1);
    grid->addWidget(label(frame, QStringLiteral("Sätt parametrar i fält")), 4, 0);
    grid->addWidget(button(frame, QStringLiteral("V&älj")), 4, 1);
    grid->addWidget(label(frame, QStringLiteral("Ändra i prislista")), 5, 0);
    grid->addWidget(button(frame, QStringLiteral("Vä&lj")), 5, 1);
    grid->addWidget(label(frame, QStringLiteral("Värdera en lista av träd")), 6, 0);
    grid->addWidget(button(frame, QStringLiteral("Väl&j")), 6, 1);
    grid->setRowMinimumHeight(7, 8);
    grid->addWidget(button(frame, QStringLiteral("&Avsluta")), 8, 1);
    grid->addWidget(button(frame, QStringLiteral("&Hjälp")), 9, 1);
    grid->addWidget(hidden, 10, 0, 1, 2);

    auto *outer = new QVBoxLayout(&window);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(frame);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    window.adjustSize();
    QRect centred(QPoint(), window.size());
    centred.moveCenter(QGuiApplication::primaryScreen()->availableGeometry().center());
    window.setGeometry(centred);

    EndAfterPaint end;
    window.installEventFilter(&end);
    window.show();
    first->setFocus(Qt::OtherFocusReason);
    return app.exec();
}
