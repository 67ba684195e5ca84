#include "ui/app/help_system.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

namespace ostrel::ui {
namespace {

QString BodyOf(const QString& html) {
    static const QRegularExpression body(
        QStringLiteral("<body[^>]*>(.*)</body>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto match = body.match(html);
    return match.hasMatch() ? match.captured(1) : html;
}

QString TitleOf(const QString& html) {
    static const QRegularExpression heading(
        QStringLiteral("<h[12][^>]*>(.*?)</h[12]>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    const auto match = heading.match(html);
    if (!match.hasMatch()) {
        return {};
    }
    QString title = match.captured(1);
    return title.remove(tag).simplified();
}

}  // namespace

HelpBook HelpBook::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        HelpBook book;
        book.note_ = QStringLiteral("The help file %1 could not be opened.")
                         .arg(QDir::toNativeSeparators(path));
        return book;
    }
    HelpBook book = Parse(QString::fromUtf8(file.readAll()));
    if (book.IsEmpty()) {
        book.note_ = QStringLiteral("The help file %1 holds no help topics.")
                         .arg(QDir::toNativeSeparators(path));
    }
    return book;
}

HelpBook HelpBook::Parse(const QString& html) {
    static const QRegularExpression anchor(
        QString::fromLatin1(R"re(<a\s+name\s*=\s*"(\d+)"\s*>\s*</a>)re"),
        QRegularExpression::CaseInsensitiveOption);
    HelpBook book;
    const QString body = BodyOf(html);
    auto matches = anchor.globalMatch(body);
    qsizetype start = -1;
    int context = 0;
    const auto finishTopic = [&](qsizetype end) {
        if (start < 0) {
            book.introduction_ = body.left(end).trimmed();
            return;
        }
        HelpTopic topic;
        topic.context = context;
        topic.html = body.mid(start, end - start).trimmed();
        topic.title = TitleOf(topic.html);
        if (topic.title.isEmpty()) {
            topic.title = QStringLiteral("Topic %1").arg(context);
        }
        book.topics_.insert_or_assign(context, std::move(topic));
    };
    while (matches.hasNext()) {
        const auto match = matches.next();
        finishTopic(match.capturedStart());
        start = match.capturedEnd();
        context = match.captured(1).toInt();
    }
    finishTopic(body.size());
    return book;
}

const HelpTopic* HelpBook::Find(int context) const {
    const auto found = topics_.find(context);
    return found == topics_.end() ? nullptr : &found->second;
}

QString HelpBook::ContentsHtml() const {
    QString html = introduction_;
    html += QStringLiteral("<h2>Contents</h2><ul>");
    for (const auto& [context, topic] : topics_) {
        html += QStringLiteral("<li><a href=\"#%1\">%2</a></li>")
                    .arg(context)
                    .arg(topic.title.toHtmlEscaped());
    }
    html += QStringLiteral("</ul>");
    return html;
}

HelpViewer::HelpViewer(HelpBook book, QWidget* owner)
    : QWidget(owner, Qt::Window), book_(std::move(book)) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Ostrel2 Help"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* contents = new QPushButton(QStringLiteral("&Contents"), this);
    contents->setObjectName(QStringLiteral("cmdContents"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    note_ = new QLabel(book_.Note(), this);
    note_->setObjectName(QStringLiteral("lblNote"));
    note_->setVisible(!book_.Note().isEmpty());
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenLinks(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(note_);
    layout->addWidget(browser_, 1);
    resize(560, 480);

    connect(contents, &QPushButton::clicked, this, &HelpViewer::ShowContents);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpViewer::Follow);
}

void HelpViewer::ShowContents() {
    current_ = 0;
    browser_->setHtml(book_.IsEmpty() ? QString() : book_.ContentsHtml());
}

void HelpViewer::ShowTopic(int context) {
    const HelpTopic* topic = book_.Find(context);
    if (topic == nullptr) {
        ShowContents();
        return;
    }
    current_ = context;
    browser_->setHtml(topic->html);
}

void HelpViewer::Follow(const QUrl& link) {
    bool number = false;
    const int context = link.fragment().toInt(&number);
    if (link.scheme().isEmpty() && link.path().isEmpty() && number) {
        ShowTopic(context);
    }
}

QString ContextIDs::HelpFilePath(const QString& folder) {
    // A root folder already ends in a separator; any other gets one.
    const QString trimmed = folder.trimmed();
    if (trimmed.endsWith(QLatin1Char('/')) || trimmed.endsWith(QDir::separator())) {
        return folder + QStringLiteral("Ostrel2.HLP");
    }
    return folder + QLatin1Char('/') + QStringLiteral("Ostrel2.HLP");
}

void ContextIDs::InitHelp(QWidget* owner) {
    owner_ = owner;
    if (helpFile_.isEmpty()) {
        helpFile_ = HelpFilePath(QCoreApplication::applicationDirPath());
    }
}

HelpViewer& ContextIDs::OpenViewer() {
    // Over a modal dialog the viewer belongs to that dialog, or the dialog
    // would keep it from being read or closed.
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr) {
        owner = owner_;
    }
    HelpViewer* viewer = viewer_.data();
    if (viewer == nullptr) {
        // The file is read each time the viewer opens, like a help program
        // started afresh.
        viewer = new HelpViewer(HelpBook::Load(helpFile_), owner);
        viewer_ = viewer;
    } else if (owner != viewer && viewer->parentWidget() != owner) {
        viewer->setParent(owner, Qt::Window);
    }
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return *viewer;
}

void ContextIDs::ShowHelpContents() {
    OpenViewer().ShowContents();
}

void ContextIDs::ShowHelpTopic(int contextId) {
    OpenViewer().ShowTopic(contextId);
}

void ContextIDs::CloseHelp() {
    if (viewer_ != nullptr) {
        viewer_->close();
    }
}

}  // namespace ostrel::ui
