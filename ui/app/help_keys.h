#pragma once

#include <QObject>

class QWidget;

namespace ostrel::ui {

class ContextIDs;

// Help topics of the windows (context numbers of the help file).
inline constexpr int kHelpContents = 0;
inline constexpr int kHelpAbout = 10;
inline constexpr int kHelpMainWindow = 20;
inline constexpr int kHelpLinkFolders = 22;
inline constexpr int kHelpCompare = 23;
inline constexpr int kHelpConfiguration = 30;  // 31 to 37: its pages, in order
inline constexpr int kHelpPreview = 40;
inline constexpr int kHelpFind = 41;        // the preview's find bar
inline constexpr int kHelpNavigation = 42;  // its contents pane, page box and zoom

// The topic for a window: found by the object name of the window, or of the
// window it was opened over (a message box over the main window gets the
// main window's topic). The configuration dialog's topic is that of the page
// showing; in the preview, the find bar, the contents pane and the page and
// zoom boxes have topics of their own. kHelpContents when no window is known.
int HelpContextFor(const QWidget* widget);

// F1 in any window of the program opens the help topic of that window.
// Installed on the application.
class HelpKeys : public QObject {
    Q_OBJECT

  public:
    explicit HelpKeys(ContextIDs& help, QObject* parent = nullptr);
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    ContextIDs& help_;
};

}  // namespace ostrel::ui
