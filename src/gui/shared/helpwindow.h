#pragma once

#include <QWidget>

class QTextBrowser;

// The short guide that comes with the program (what each parameter means, how prices are used,
// how to read the result and the verdict), opened by F1 or "Hjälp" at the section of the window
// the user is in. One guide window serves every window and stays open beside them.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // The guide as shipped in the program's resources.
    static QUrl guide();

    // Shows the guide window, scrolled to `section` (a window's name, as `StandForm`).
    static HelpWindow *showSection(const QString &section);
    // The open guide window, or nullptr.
    static HelpWindow *instance();

    QTextBrowser *browser() const { return m_browser; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    HelpWindow();
    QTextBrowser *m_browser;
};
