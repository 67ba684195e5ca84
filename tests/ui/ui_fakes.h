#pragma once

// Stand-ins for the main window's services, so that tests drive it without
// real modal boxes or file dialogs.

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "ui/app/file_dialogs.h"
#include "ui/app/message_boxes.h"
#include "ui/app/report_runner.h"

namespace ostrel::ui::testing {

struct ShownMessage {
    QString text;
    engine::MessageIcon icon;
    QString caption;
};

class RecordingMessages : public MessageBoxes {
  public:
    void Show(QWidget* /*parent*/, const QString& text, engine::MessageIcon icon,
              const QString& caption) override {
        shown.push_back({text, icon, caption});
    }
    std::vector<ShownMessage> shown;
};

// Answers each dialog with the next queued name; nothing queued, or a null
// QString, means the user cancelled.
class ScriptedDialogs : public FileDialogs {
  public:
    std::optional<QString> ChooseDatabase(QWidget* /*parent*/, const QString& current) override {
        databaseStart << current;
        return Next(databaseAnswers);
    }
    std::optional<QString> ChooseCsvFile(QWidget* /*parent*/, const QString& current) override {
        csvStart << current;
        return Next(csvAnswers);
    }
    std::optional<QString> ChooseHtmlFile(QWidget* /*parent*/, const QString& current) override {
        htmlStart << current;
        return Next(htmlAnswers);
    }
    std::deque<QString> databaseAnswers;
    std::deque<QString> csvAnswers;
    std::deque<QString> htmlAnswers;
    QStringList htmlStart;
    QStringList databaseStart;
    QStringList csvStart;

  private:
    static std::optional<QString> Next(std::deque<QString>& answers) {
        if (answers.empty()) {
            return std::nullopt;
        }
        const QString answer = answers.front();
        answers.pop_front();
        if (answer.isNull()) {
            return std::nullopt;
        }
        return answer;
    }
};

// Runs whatever the test wants in place of a report.
class ScriptedRunner : public ReportRunner {
  public:
    bool RunReport(const engine::RunRequest& request, engine::RunPorts& ports) override {
        ++runs;
        if (onRun) {
            onRun(request, ports);
        }
        return true;
    }
    void RunComparison(const engine::RunRequest& request, const std::string& newPath,
                       engine::RunPorts& ports) override {
        comparedWith.push_back(newPath);
        RunReport(request, ports);
    }
    int runs = 0;
    std::vector<std::string> comparedWith;
    std::function<void(const engine::RunRequest&, engine::RunPorts&)> onRun;
};

}  // namespace ostrel::ui::testing
