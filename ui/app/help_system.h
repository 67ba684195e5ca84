#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <map>

class QTextBrowser;
class QLabel;

namespace ostrel::ui {

// Help context numbers used by the program.
inline constexpr int kHelpSupport = 60;

// One topic of the help file.
struct HelpTopic {
    int context = 0;
    QString title;
    QString html;
};

// The help file: HTML in which every topic starts with an anchor named by its
// context number, <a name="60"></a>, and runs to the next such anchor. The
// topic's title is its first <h1> or <h2>. Text before the first anchor is the
// introduction of the contents page.
class HelpBook {
  public:
    static HelpBook Load(const QString& path);
    static HelpBook Parse(const QString& html);

    bool IsEmpty() const { return topics_.empty(); }
    const HelpTopic* Find(int context) const;
    const std::map<int, HelpTopic>& Topics() const { return topics_; }
    // The contents page: the introduction and a link to every topic.
    QString ContentsHtml() const;
    // Set when the file could not be read: one line saying so.
    const QString& Note() const { return note_; }

  private:
    QString introduction_;
    std::map<int, HelpTopic> topics_;
    QString note_;
};

// The window that shows the help.
class HelpViewer : public QWidget {
    Q_OBJECT

  public:
    HelpViewer(HelpBook book, QWidget* owner);
    void ShowContents();
    void ShowTopic(int context);
    // The context shown, 0 for the contents page.
    int CurrentContext() const { return current_; }
    QTextBrowser* Browser() const { return browser_; }

  private:
    void Follow(const QUrl& link);

    HelpBook book_;
    QTextBrowser* browser_ = nullptr;
    QLabel* note_ = nullptr;
    int current_ = 0;
};

// The program's help: where the help file is and the viewer that shows it.
class ContextIDs {
  public:
    // Remembers the owner window and sets the help file: "Ostrel2.HLP" in the
    // executable's folder.
    void InitHelp(QWidget* owner);
    void ShowHelpContents();
    void ShowHelpTopic(int contextId);
    // Closes the help viewer if it is open.
    void CloseHelp();

    const QString& HelpFile() const { return helpFile_; }
    void SetHelpFile(const QString& path) { helpFile_ = path; }
    HelpViewer* Viewer() const { return viewer_; }

    // The help file in a folder, with one separator between folder and name.
    static QString HelpFilePath(const QString& folder);

  private:
    HelpViewer& OpenViewer();

    QPointer<QWidget> owner_;
    QString helpFile_;
    QPointer<HelpViewer> viewer_;
};

}  // namespace ostrel::ui
