#include "ui/app/help_keys.h"

#include <QKeyEvent>
#include <QTabWidget>
#include <QWidget>

#include "ui/app/help_system.h"

namespace ostrel::ui {
namespace {

int ContextOfWindow(const QWidget& window) {
    const QString name = window.objectName();
    if (name == QLatin1String("frmMain")) {
        return kHelpMainWindow;
    }
    if (name == QLatin1String("frmConfig")) {
        const auto* pages = window.findChild<QTabWidget*>(QStringLiteral("vsTab1"));
        const int page = pages != nullptr ? pages->currentIndex() : -1;
        return page >= 0 && page < 7 ? kHelpConfiguration + 1 + page : kHelpConfiguration;
    }
    if (name == QLatin1String("frmPreview")) {
        return kHelpPreview;
    }
    if (name == QLatin1String("frmLinkFolders")) {
        return kHelpLinkFolders;
    }
    if (name == QLatin1String("frmAbout")) {
        return kHelpAbout;
    }
    if (name == QLatin1String("frmHelp")) {
        return kHelpContents;
    }
    return -1;
}

}  // namespace

int HelpContextFor(const QWidget* widget) {
    // Parts of the preview with a topic of their own.
    for (const QWidget* part = widget; part != nullptr && !part->isWindow();
         part = part->parentWidget()) {
        const QString name = part->objectName();
        if (name == QLatin1String("findBar")) {
            return kHelpFind;
        }
        if (name == QLatin1String("tvwContents") || name == QLatin1String("navigationBar")) {
            return kHelpNavigation;
        }
    }
    for (const QWidget* window = widget != nullptr ? widget->window() : nullptr; window != nullptr;
         window = window->parentWidget() != nullptr ? window->parentWidget()->window() : nullptr) {
        const int context = ContextOfWindow(*window);
        if (context >= 0) {
            return context;
        }
    }
    return kHelpContents;
}

HelpKeys::HelpKeys(ContextIDs& help, QObject* parent) : QObject(parent), help_(help) {}

bool HelpKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) {
        return false;
    }
    const int context = HelpContextFor(static_cast<QWidget*>(watched));
    if (context == kHelpContents) {
        help_.ShowHelpContents();
    } else {
        help_.ShowHelpTopic(context);
    }
    return true;
}

}  // namespace ostrel::ui
