#pragma once

#include <QTemporaryFile>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "components/diagram/output_file.h"
#include "components/qtdocument/paginator.h"
#include "components/qtdocument/pdf_navigation.h"

namespace ostrel::qtdocument {

class QtReportDocument;

// Writes a report's pages into a PDF file one at a time, in order, as they
// are laid out; Finish adds the outline, the links and the document
// information and puts the file in place. Until then the target is left as
// it was, and a stream dropped unfinished leaves nothing behind.
//
// The pages are drawn on a thread of their own, so that laying out the next
// pages and writing the last ones go on side by side; a few pages at most
// wait between the two.
class PdfStream {
  public:
    PdfStream(const QtReportDocument& document, std::string path);
    ~PdfStream();
    PdfStream(const PdfStream&) = delete;
    PdfStream& operator=(const PdfStream&) = delete;

    // Hands the next page over to be drawn; a failure is kept for Finish to
    // report.
    void AddPage(int page, LaidOutPage&& content);
    bool Finish(std::string& error);
    // Whether a failure was the file's: the target could not be written.
    bool WriteFailed() const { return writeFailed_; }

  private:
    struct Job {
        int page = 0;
        LaidOutPage content;
        std::vector<TextShaper::FaceKey> faces;  // the layout's faces so far
    };

    bool Open();
    void Draw();  // the drawing thread
    void StopDrawing();
    void Fail(std::string error);

    const QtReportDocument& document_;
    std::string path_;
    std::unique_ptr<diagram::OutputFile> file_;
    bool writeFailed_ = false;
    std::unique_ptr<QTemporaryFile> pages_;
    std::vector<PdfLink> links_;
    std::vector<std::string> linkTargets_;  // "kind\nname", one per link
    int handedOver_ = 0;

    // Shared with the drawing thread.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> queue_;
    bool closing_ = false;
    std::atomic<bool> failed_ = false;
    std::string error_;  // set before failed_; read once the thread has ended
    std::thread drawer_;
};

}  // namespace ostrel::qtdocument
